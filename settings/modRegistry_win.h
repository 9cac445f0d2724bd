// The two registry primitives. Each opens the key with only the access it needs and closes it
// again before returning; no handle is kept. Turning raw values into text is modRegistry.h's job.
#pragma once
#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

#include "settings/modRegistry.h"

namespace plenvue {

// Creates or opens the key and writes `text` as REG_SZ (a single blank for empty text).
// False when the key could not be created or the write failed.
bool WriteRegText(HKEY root, const std::string& subkey, const std::string& valueName, std::string_view text);

// The raw value as stored, text converted to UTF-8: nullopt for a missing key or value, or a value
// that does not fit the kRegReadLimit-byte buffer (text: kRegReadLimit characters or more), so it
// reads as empty text.
std::optional<RawRegValue> ReadRegValue(HKEY root, const std::string& subkey, const std::string& valueName);

// The value's text by the rules of RegValueText (empty when missing or unreadable).
std::string ReadRegText(HKEY root, const std::string& subkey, const std::string& valueName);

// The same under HKEY_CURRENT_USER\kSettingsSubkey, where every setting lives.
bool WriteSetting(const std::string& valueName, std::string_view text);
std::string ReadSetting(const std::string& valueName);

}  // namespace plenvue
