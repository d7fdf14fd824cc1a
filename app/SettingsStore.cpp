// Settings of the application object: defaults from the settings text
// resource, current values in the registry under the current user, the UI
// strings from their own text resource.
#include <cstring>
#include <new>
#include <string>

#include "app/ScreensaverApp.h"
#include "app/WideText.h"
#include "engine/core/Log.h"
#include "engine/core/Result.h"
#include "engine/platform/Platform.h"

namespace zav {

namespace {

constexpr int kSettingsResource = 239;
constexpr int kUiStringsResource = 229;

String ToString(std::string_view text) { return String(text.data(), static_cast<int32_t>(text.size())); }


// Shows the system's text for a registry error, in the user's language.
void ShowRegistryError(LSTATUS error) {
    wchar_t* message = nullptr;
    DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                      FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, static_cast<DWORD>(error), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                                  reinterpret_cast<wchar_t*>(&message), 0, nullptr);
    if (length > 0 && message) MessageBoxW(nullptr, message, L"Error", MB_OK | MB_ICONINFORMATION);
    if (message) LocalFree(message);
}

// Reads a value that is exactly four bytes long, of any type, as a number.
// Values are read through the narrow view of the registry, where a string
// of three characters and its terminator is four bytes.
bool ReadDword(HKEY key, const char* name, int64_t* value) {
    uint8_t bytes[4] = {0, 0, 0, 0};
    DWORD size = sizeof bytes;
    DWORD type = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, bytes, &size) != ERROR_SUCCESS) return false;
    if (size != sizeof bytes) return false;
    int32_t number;
    std::memcpy(&number, bytes, sizeof number);
    *value = number;
    return true;
}

bool WriteDword(HKEY key, const char* name, int32_t value) {
    DWORD data = static_cast<DWORD>(value);
    return RegSetValueExW(key, ToWide(String(name)).c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                          sizeof data) == ERROR_SUCCESS;
}

}  // namespace

int ScreensaverApp::LoadResourceCopy(int id, char** bytes, size_t* length) {
    if (bytes) *bytes = nullptr;
    if (length) *length = 0;
    platform::Blob blob;
    if (!bytes || !length || !platform::FindBlob("MEDIADATA", id, &blob)) {
        LogError("Невозможно загрузить ресурс ID[%d].", id);
        return kFailed;
    }
    char* copy = new (std::nothrow) char[blob.size > 0 ? blob.size : 1];
    if (!copy) {
        LogError("Невозможно загрузить ресурс ID[%d].", id);
        return kFailed;
    }
    if (blob.size > 0) std::memcpy(copy, blob.data, blob.size);
    *bytes = copy;
    *length = blob.size;
    return kOk;
}

int ScreensaverApp::LoadDefaultSettings() {
    char* text = nullptr;
    size_t length = 0;
    if (LoadResourceCopy(kSettingsResource, &text, &length) != kOk) {
        LogInfo("Ресурс настроек не загружен.");
        return kFailed;
    }
    LogInfo("Ресурс настроек загружен.");
    SettingsText lines(text, length);
    std::string_view line, key, value;
    int result = kOk;
    while (lines.NextLine(&line)) {
        SplitSettingLine(line, &key, &value);
        if (key == "RegistryPath") {
            registryPath_ = ToString(value);
        } else if (key == "main_web_site_url") {
            siteAddress_ = ToString(value);
        } else {
            for (int i = 0; i < kSettingFlagCount; ++i) {
                int32_t number;
                if (key == kSettingFlagKeys[i] && ParseSettingInteger(value, &number))
                    defaults_.flags[i] = number != 0;
            }
            for (int i = 0; i < kSettingNumberCount; ++i) {
                int32_t number;
                if (key == kSettingNumberKeys[i] && ParseSettingInteger(value, &number))
                    defaults_.numbers[i] = ClampSettingNumber(static_cast<SettingNumber>(i), number);
            }
        }
        if (ParseExtraSetting(ToString(key), ToString(value)) != kOk) {
            LogError("Неудачна обработка параметра [%s].", ToString(line).CStr());
            result = kFailed;
            break;
        }
    }
    delete[] text;
    return result;
}

int ScreensaverApp::ApplyDefaults() {
    current_ = defaults_;
    return OnDefaultsApplied();
}

int ScreensaverApp::ReadRegistrySettings() {
    HKEY key = nullptr;
    DWORD disposition = 0;
    LSTATUS status = RegCreateKeyExW(HKEY_CURRENT_USER, ToWide(registryPath_).c_str(), 0, nullptr,
                                     REG_OPTION_NON_VOLATILE, KEY_READ, nullptr, &key, &disposition);
    if (status != ERROR_SUCCESS) {
        LogError("Неудачна попытка открытия пути реестра [%s].", registryPath_.CStr());
        ShowRegistryError(status);
        return kFailed;
    }
    if (disposition == REG_CREATED_NEW_KEY) {
        RegCloseKey(key);
        LogInfo("Первый запуск скринсейвера. Запись параметров по-умолчанию в реестр...");
        if (WriteRegistrySettings() != kOk) {
            LogError("Невозможно записать в реестр значения по-умолчанию.");
            return kFailed;
        }
        LogInfo("Значения параметров по-умолчанию записаны в реестр.");
        return kOk;
    }
    int64_t value;
    for (int i = 0; i < kSettingFlagCount; ++i)
        if (ReadDword(key, kSettingFlagKeys[i], &value)) current_.flags[i] = value != 0;
    for (int i = 0; i < kSettingNumberCount; ++i)
        if (ReadDword(key, kSettingNumberKeys[i], &value))
            current_.numbers[i] = ClampSettingNumber(static_cast<SettingNumber>(i), value);
    int extra = ReadExtraSettings(key);
    if (RegCloseKey(key) != ERROR_SUCCESS) {
        LogError("Неудачна попытка закрытия пути реестра [%s].", registryPath_.CStr());
        return kFailed;
    }
    return extra == kOk ? kOk : kFailed;
}

int ScreensaverApp::WriteRegistrySettings() {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, ToWide(registryPath_).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        LogError("Неудачна попытка открытия пути реестра [%s].", registryPath_.CStr());
        return kFailed;
    }
    bool written = true;
    for (int i = 0; i < kSettingFlagCount; ++i) {
        if (!WriteDword(key, kSettingFlagKeys[i], current_.flags[i] ? 1 : 0)) {
            LogError("Невозможно записать параметр [%s] в реестр.", kSettingFlagKeys[i]);
            written = false;
        }
    }
    for (int i = 0; i < kSettingNumberCount; ++i) {
        if (!WriteDword(key, kSettingNumberKeys[i], current_.numbers[i])) {
            LogError("Невозможно записать параметр [%s] в реестр.", kSettingNumberKeys[i]);
            written = false;
        }
    }
    if (WriteExtraSettings(key) != kOk) written = false;
    if (RegFlushKey(key) != ERROR_SUCCESS) {
        LogError("Невозможно сохранить путь реестра [%s].", registryPath_.CStr());
        written = false;
    }
    if (RegCloseKey(key) != ERROR_SUCCESS) {
        LogError("Неудачна попытка закрытия пути реестра [%s].", registryPath_.CStr());
        return kFailed;
    }
    return written ? kOk : kFailed;
}

int ScreensaverApp::LogSettings() {
    for (int i = 0; i < kSettingFlagCount; ++i)
        LogInfo("%s: %s", kSettingFlagKeys[i], current_.flags[i] ? "true" : "false");
    for (int i = 0; i < kSettingNumberCount; ++i) LogInfo("%s: %d", kSettingNumberKeys[i], current_.numbers[i]);
    return OnSettingsLogged();
}

int ScreensaverApp::LoadUiStrings() {
    char* text = nullptr;
    size_t length = 0;
    if (LoadResourceCopy(kUiStringsResource, &text, &length) != kOk) {
        LogInfo("Ресурс локальных данных не загружен.");
        return kFailed;
    }
    LogInfo("Ресурс локальных данных загружен.");
    SettingsText lines(text, length);
    std::string_view line, key, value;
    while (lines.NextLine(&line)) {
        SplitSettingLine(line, &key, &value);
        uiStrings_.Insert(ToString(key), ToString(value));
    }
    delete[] text;
    return kOk;
}

const String* ScreensaverApp::GetUiString(const String& key) const { return uiStrings_.Find(key); }

String ScreensaverApp::GetUiStringOr(const char* key, const char* fallback) const {
    const String* text = GetUiString(key);
    return text ? *text : String(fallback);
}

}  // namespace zav
