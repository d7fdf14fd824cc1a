#pragma once

#include "app/DialogPicture.h"
#include "app/ScreensaverApp.h"
#include "engine/core/Object.h"
#include "engine/core/RefCounted.h"
#include "engine/render/effects/ColorEffect.h"

namespace zav {

class Node;
class ScreensaverController;
class SoundNode;

// The screensaver that plays the scene file "Main.STR" from the media archive.
class SceneScreensaver : public ScreensaverApp {
public:
    SceneScreensaver() = default;
    ~SceneScreensaver() override = default;

    // The root of the loaded scene, and its first screensaver controller
    // (kept alive by the scene); null until CreateData has run.
    Object* GetScene() const { return scene_.Get(); }
    ScreensaverController* GetScreensaverController() const { return screensaverController_; }
    // The opacity of the black veil between camera shots, from the
    // screensaver controller's current set at the last Update; 0 without one.
    double GetFadeOpacity() const { return fadeOpacity_; }
    // The veil's colour effect; null outside the visual data's life.
    ColorEffect* GetFadeEffect() const { return fadeEffect_.Get(); }

protected:
    int OnInputEventExtra(const InputEvent&) override { return 0; }
    int OnDefaultsApplied() override { return 0; }
    int OnSettingsLogged() override { return 0; }
    int ParseExtraSetting(const String&, const String&) override { return 0; }
    int ReadExtraSettings(HKEY) override { return 0; }
    int WriteExtraSettings(HKEY) override { return 0; }
    // Shows "settings.bmp" in the dialog's picture frame; frees it when the
    // dialog ends.
    int SettingsDialogExtra(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnSettingsDialogRefreshed() override {}
    int OnEngineStarted() override { return 0; }
    int OnEngineStopping() override { return 0; }
    int Update(double seconds) override;
    int Render() override;
    int CreateVisualDataExtra() override;
    int DeleteVisualDataExtra() override;
    int CreateData() override;
    int DeleteData() override;
    int CacheData() override;

private:
    // The scene as a node; null before CreateData or for a root that is not
    // a node.
    Node* GetSceneNode() const;
    // Silences the scene's sounds that the Music and SFX settings turn off.
    void ApplySoundSettings();
    // Sets a sound node's volume to 0; `stop` also clears its playing flag
    // and stops its stream.
    void SilenceSoundNode(SoundNode* soundNode, bool stop);

    Ref<Object> scene_;
    ScreensaverController* screensaverController_ = nullptr;
    double fadeOpacity_ = 0.0;
    Ref<ColorEffect> fadeEffect_;
    // The settings dialog's picture while the dialog is open.
    DialogPicture settingsPicture_{"settings.bmp"};
};

}  // namespace zav
