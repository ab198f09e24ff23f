#pragma once
// The message catalogue: numbered texts held in English and Japanese under the same numbers,
// returned in the user's interface language (the run time's LoadResString).
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace vb {

// The two languages of the catalogue, by their language identifiers.
enum class ResLanguage : int { English = 1033, Japanese = 1041 };

// The user's interface language, from the locale variables as POSIX reads them: the first
// non-empty one of LC_ALL, LC_MESSAGES and LANG decides; Japanese when it names a "ja" locale
// ("ja", "ja_JP.UTF-8", "ja.eucJP", "ja@..."), English otherwise (also when none is set).
ResLanguage LanguageFromLocale(const char* lcAll, const char* lcMessages, const char* lang);
ResLanguage UserInterfaceLanguage();  // reads the process environment

// Forces the language LoadResString uses (tests); std::nullopt returns to the environment's.
void ForceResLanguage(std::optional<ResLanguage> language);

// The text of catalogue entry `number` in the user's interface language. A number without an
// entry raises run-time error 326 "Resource with identifier '<number>' not found".
std::string LoadResString(long number);
// The same in the given language.
std::string LoadResString(long number, ResLanguage language);

// Parses a catalogue file: one entry per line, the number, a TAB and the text; "\\", "\t",
// "\r" and "\n" in the text stand for a backslash, TAB, CR and LF; spaces are kept exactly;
// empty lines and lines beginning with "#" are skipped. Returns the entries and, in
// `badLines`, the numbers of lines that are not of that form (those are left out).
std::map<long, std::string> ParseResStrings(std::string_view data, std::string* badLines = nullptr);

}  // namespace vb
