#pragma once

#include <string>
#include <vector>

namespace zav {

// The text of a dialog control as its template designs it and as it is to
// be shown.
struct ControlLabel {
    std::wstring designed;  // the template's text; '&' marks its access key, "&&" is a '&'
    std::wstring shown;     // the text to show, '&' meaning itself
};

// The texts to give the controls, '&' doubled where it stands for itself. A
// label whose designed text has an access key gets one too, unique in the
// dialog (letters compared without case): the designed key when the shown
// text is the designed one, else the first free letter or digit that starts
// a word, else the first free letter or digit. Designed keys are served
// first, so they keep their letters; a text with nothing free gets no key.
std::vector<std::wstring> WithAccessKeys(const std::vector<ControlLabel>& labels);

// The designed text without its '&' marks ("&&" becomes "&").
std::wstring WithoutAccessKey(const std::wstring& designed);

}  // namespace zav
