// Reading and writing one text value of the program's settings. The settings live
// in the Windows registry on Windows and in a per-user file elsewhere (SettingsStore);
// both answer alike.
#pragma once

#include <cstdint>
#include <string>

#include "base/platform.h"

namespace pagemeld {

// Root keys, numbered as Windows numbers them. The settings always belong to the
// current user; the root is part of the call for the record.
using RegistryRoot = std::uint32_t;
inline constexpr RegistryRoot kHkeyCurrentUser = 0x80000001u;

// The program's key and its two values.
inline constexpr const char* kSettingsKeyPath = "Software\\Ombrix\\OmbrixPagemeld";
inline constexpr const char* kLanguageValue = "Language";
inline constexpr const char* kUpdateCheckValue = "updatecheck";
// The update check's switch: "0" turns it off; any other text, an empty or an absent
// value leave it on.
inline constexpr const char* kUpdateCheckOff = "0";
inline constexpr const char* kUpdateCheckOn = "1";

// True when the value was read into `result`; on failure `result` is emptied.
// Shows nothing.
bool RegReadString(Settings& settings, RegistryRoot root, const std::string& keyPath,
                   const std::string& valueName, std::string& result);

// True when the value was written; an empty value is stored as one blank. Shows
// nothing.
bool RegWriteString(Settings& settings, RegistryRoot root, const std::string& keyPath,
                    const std::string& valueName, const std::string& value);

}  // namespace pagemeld
