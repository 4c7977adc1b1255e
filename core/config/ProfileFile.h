#pragma once

#include "core/config/FileResult.h"
#include "core/config/ReplaceFileContents.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <list>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

// An INI-format profile file, read and written the way the Windows profile
// API does it: section and key names match without regard to case, the first
// matching section and key win, and writing a key touches only that key's
// line (or adds one) so every other byte of the file stays as it was.
//
// The whole file is read once into memory; changes are made there and
// save() replaces the file in one step (temporary file + rename), so a crash
// or a full disk never leaves a torn file behind; only a file in a folder
// that allows no new files is written in place, its space reserved first.
// A file in UTF-16 with a byte-order mark is read, and saved, as UTF-16.
class ProfileFile {
public:
    static constexpr std::size_t kMaxValueLength = 2047;
    // A settings or layout file is a few kilobytes; anything larger is not one.
    static constexpr qint64 kMaxFileSize = 1024 * 1024;

    // What a name read from may lead to.
    enum class Source {
        RegularFile,  // a file that may be saved again (anything else counts as unreadable)
        AnyFile,      // also a pipe or device, read once up to kMaxFileSize: a file named
                      // on the command line to be sent or compared (`<(cat f.ini)`, /dev/stdin)
    };

    explicit ProfileFile(const QString& path, Source source = Source::RegularFile);
    // The document `bytes`, parsed as if read from the file at `path` (which
    // save() would replace); more than kMaxFileSize bytes count as unreadable.
    ProfileFile(const QString& path, std::string_view bytes);

    const QString& path() const { return path_; }
    // How reading the file went: Done; Missing (no such file: an empty
    // document); Failed, with the reason (it exists but could not be read:
    // a folder, a loop of links, too large, not valid UTF-16: an empty
    // document that is never saved).
    const FileResult& readResult() const { return readResult_; }

    // The value of a key with one pair of surrounding quotes removed and cut to
    // kMaxValueLength characters; nothing when the section or key is missing.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;
    bool hasSection(std::string_view section) const { return findSection(section) != nullptr; }
    std::string readString(std::string_view section, std::string_view key, std::string_view fallback) const;

    // "0x"/"0X" or "$" prefix hexadecimal, else decimal, with an optional sign.
    // Anything else, or a missing key, gives the fallback. Values wrap like
    // 32-bit arithmetic.
    int32_t readInteger(std::string_view section, std::string_view key, int32_t fallback) const;

    // The integer `value` starts with, read as readInteger reads one, its
    // digits within 32 bits, followed by any text or none ("3 ; power-up
    // port" and "3abc" are 3); nothing when it does not start so.
    static std::optional<int32_t> LeadingInteger(std::string_view value);

    // The line, counted from 1, on which a key stands; 0 when it is missing.
    int lineOf(std::string_view section, std::string_view key) const;

    // Replaces the key's value where it stands, or adds the key at the end of
    // its section, or adds the section at the end of the document.
    void writeString(std::string_view section, std::string_view key, std::string_view value);
    void writeInteger(std::string_view section, std::string_view key, int32_t value);
    // Takes the key's lines out of the section, if it has any.
    void deleteKey(std::string_view section, std::string_view key);

    // Writes the document over the file (see ReplaceFileContents; only the
    // program's own settings file may have its folder made): Done, or Failed
    // with the reason and the file on disk unchanged. A document whose file
    // could not be read is never saved, so an unreadable file is not
    // replaced by a partial one.
    FileResult save(MissingFolder missingFolder = MissingFolder::Fail) const;

    // The file's bytes as they would be saved, in the file's own encoding.
    std::string text() const;

private:
    struct Line {
        std::string text;    // the line as it stands in the file, without its ending
        std::string ending;  // "\r\n", "\n", "\r", or empty for a last line without one
    };
    using LineRef = std::list<Line>::iterator;

    // The first section of each name (later ones are never consulted) with the
    // first line of each of its keys, and the line after which a new key goes.
    struct Section {
        LineRef header;
        LineRef lastNonBlank;
        std::unordered_map<std::string, LineRef> keys;  // by folded name
    };

    // Reads the bytes of the file at path_.
    FileResult readFile(Source source, std::string& bytes) const;
    // Parses a document, decoding UTF-16 with a byte-order mark.
    FileResult parse(std::string_view bytes);
    void parseLines(std::string_view text);
    // Finds the sections and their keys among the lines.
    void index();
    // Inserts a line after `position` (at the start when it is end()).
    LineRef insertAfter(LineRef position, std::string text);
    const Section* findSection(std::string_view section) const;

    QString path_;
    FileResult readResult_;
    enum class Encoding { Utf8, Utf8WithMark, Utf16LE, Utf16BE };  // Windows' "UTF-8" and "Unicode"
    Encoding encoding_ = Encoding::Utf8;
    std::string newline_ = "\r\n";
    std::list<Line> lines_;
    std::unordered_map<std::string, Section> sections_;  // by folded name
};
