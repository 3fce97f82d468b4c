// Private-profile ("INI") files: CP932 on disk, UTF-8 in memory.
// Writes go through a temporary file and a rename, so a crash or a full disk
// never leaves a half-written settings or score file.
#pragma once
#include <cstdint>
#include <string>

namespace ralvo {

// The default when the file, the section or the key is missing; otherwise the
// value read as a signed decimal integer (leading blanks and sign allowed, reading
// stops at the first non-digit; no digits gives 0).
int32_t GetPrivateProfileInt(const std::string& section, const std::string& key, int32_t defaultValue,
                             const std::string& fileName);

// The value text (at most 199 bytes of CP932, never a split character), or the default
// when the file, the section or the key is missing.
std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& defaultText, const std::string& fileName);

// Creates the file and the section when missing, replaces an existing key's value in
// place, adds a new key at the end of its section. False when the file could not be written.
bool WritePrivateProfileString(const std::string& section, const std::string& key, const std::string& value,
                               const std::string& fileName);

// CP932 <-> UTF-8. A character CP932 cannot hold becomes '?'; an invalid byte sequence
// becomes U+FFFD on the way in.
std::string Cp932ToUtf8(const std::string& bytes);
std::string Utf8ToCp932(const std::string& text);

}  // namespace ralvo
