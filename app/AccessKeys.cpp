#include "app/AccessKeys.h"

#include <set>

namespace zav {

namespace {

// Upper case of the Latin and Cyrillic letters; other characters as they are.
wchar_t Fold(wchar_t c) {
    if (c >= L'a' && c <= L'z') return static_cast<wchar_t>(c - L'a' + L'A');
    if (c >= 0x0430 && c <= 0x044F) return static_cast<wchar_t>(c - 0x20);
    if (c >= 0x0450 && c <= 0x045F) return static_cast<wchar_t>(c - 0x50);
    return c;
}

bool IsKeyCharacter(wchar_t c) {
    c = Fold(c);
    return (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') || (c >= 0x0400 && c <= 0x042F);
}

// Position of the designed access key in `designed`'s shown form, or npos.
size_t DesignedKey(const std::wstring& designed) {
    size_t shown = 0;
    for (size_t i = 0; i < designed.size(); ++i, ++shown) {
        if (designed[i] != L'&') continue;
        if (i + 1 < designed.size() && designed[i + 1] == L'&') {
            ++i;
            continue;
        }
        return i + 1 < designed.size() ? shown : std::wstring::npos;
    }
    return std::wstring::npos;
}

// First position of a free key character, word starts first; npos for none.
size_t FreeKey(const std::wstring& text, const std::set<wchar_t>& used) {
    for (int pass = 0; pass < 2; ++pass) {
        for (size_t i = 0; i < text.size(); ++i) {
            bool wordStart = i == 0 || !IsKeyCharacter(text[i - 1]);
            if ((pass == 1 || wordStart) && IsKeyCharacter(text[i]) && !used.count(Fold(text[i]))) return i;
        }
    }
    return std::wstring::npos;
}

std::wstring Marked(const std::wstring& text, size_t key) {
    std::wstring marked;
    for (size_t i = 0; i < text.size(); ++i) {
        if (i == key) marked += L'&';
        marked += text[i];
        if (text[i] == L'&') marked += L'&';
    }
    return marked;
}

}  // namespace

std::wstring WithoutAccessKey(const std::wstring& designed) {
    std::wstring text;
    for (size_t i = 0; i < designed.size(); ++i) {
        if (designed[i] == L'&' && ++i == designed.size()) break;
        text += designed[i];
    }
    return text;
}

std::vector<std::wstring> WithAccessKeys(const std::vector<ControlLabel>& labels) {
    std::vector<size_t> keys(labels.size(), std::wstring::npos);
    std::set<wchar_t> used;
    std::vector<bool> designedKept(labels.size(), false);
    for (size_t i = 0; i < labels.size(); ++i) {
        size_t key = DesignedKey(labels[i].designed);
        if (key == std::wstring::npos || labels[i].shown != WithoutAccessKey(labels[i].designed)) continue;
        if (used.insert(Fold(labels[i].shown[key])).second) keys[i] = key;
        designedKept[i] = true;
    }
    for (size_t i = 0; i < labels.size(); ++i) {
        if (designedKept[i] || DesignedKey(labels[i].designed) == std::wstring::npos) continue;
        keys[i] = FreeKey(labels[i].shown, used);
        if (keys[i] != std::wstring::npos) used.insert(Fold(labels[i].shown[keys[i]]));
    }
    std::vector<std::wstring> texts;
    texts.reserve(labels.size());
    for (size_t i = 0; i < labels.size(); ++i) texts.push_back(Marked(labels[i].shown, keys[i]));
    return texts;
}

}  // namespace zav
