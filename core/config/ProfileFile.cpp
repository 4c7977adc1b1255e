#include "core/config/ProfileFile.h"

#include "core/config/NativeFile.h"
#include "core/config/ReplaceFileContents.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <cerrno>
#include <filesystem>

namespace {

namespace fs = std::filesystem;

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LEMark = "\xFF\xFE";
constexpr std::string_view kUtf16BEMark = "\xFE\xFF";
const QString kTooLarge = QStringLiteral("over 1 MiB, too large for a settings or layout file");

enum class Kind { Blank, Comment, Section, Key, Other };

// What a line is, with its section or key name and its value (views into
// the line, trimmed).
struct Parsed {
    Kind kind = Kind::Other;
    std::string_view name;
    std::string_view value;
};

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::string folded(std::string_view text)
{
    std::string result(text);
    for (char& c : result) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    return result;
}

// "[name]" is a section (the name runs to the last "]"); ";" starts a
// comment; "key=value" splits at the first "="; anything else is no key.
Parsed parseLine(std::string_view text)
{
    const std::string_view content = trimmed(text);
    if (content.empty())
        return {Kind::Blank, {}, {}};
    if (content.front() == ';')
        return {Kind::Comment, {}, {}};
    if (const std::size_t close = content.rfind(']'); content.front() == '[' && close != std::string_view::npos)
        return {Kind::Section, trimmed(content.substr(1, close - 1)), {}};
    if (const std::size_t equals = content.find('='); equals != std::string_view::npos)
        return {Kind::Key, trimmed(content.substr(0, equals)), trimmed(content.substr(equals + 1))};
    return {Kind::Other, {}, {}};
}

// An integer at the start of a text.
struct ScannedInteger {
    int32_t value = 0;       // wrapped like 32-bit arithmetic
    std::size_t length = 0;  // the characters it takes
    bool fits = true;        // its digits' value is below 2^32
};

ScannedInteger scanDigits(std::string_view text, uint32_t base)
{
    ScannedInteger result;
    uint64_t value = 0;
    for (const char c : text) {
        uint32_t digit = 0;
        if (c >= '0' && c <= '9')
            digit = static_cast<uint32_t>(c - '0');
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = static_cast<uint32_t>(c - 'a' + 10);
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = static_cast<uint32_t>(c - 'A' + 10);
        else
            break;
        value = value * base + digit;
        if (value > UINT32_MAX) {
            result.fits = false;
            value &= UINT32_MAX;
        }
        ++result.length;
    }
    result.value = static_cast<int32_t>(static_cast<uint32_t>(value));
    return result;
}

// "0x85" and "0X85" are hexadecimal; otherwise an optional sign, then "$"
// and hexadecimal digits, or decimal digits. Nothing without a digit.
std::optional<ScannedInteger> scanInteger(std::string_view text)
{
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        ScannedInteger hex = scanDigits(text.substr(2), 16);
        if (hex.length > 0) {
            hex.length += 2;
            return hex;
        }
    }
    std::size_t prefix = 0;
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+'))
        prefix = 1;
    uint32_t base = 10;
    if (text.size() > prefix && text[prefix] == '$') {
        base = 16;
        ++prefix;
    }
    ScannedInteger number = scanDigits(text.substr(prefix), base);
    if (number.length == 0)
        return std::nullopt;
    number.length += prefix;
    if (negative)
        number.value = static_cast<int32_t>(0u - static_cast<uint32_t>(number.value));
    return number;
}

}  // namespace

ProfileFile::ProfileFile(const QString& path, Source source) : path_(path)
{
    std::string bytes;
    readResult_ = readFile(source, bytes);
    if (readResult_.ok())
        readResult_ = parse(bytes);
}

ProfileFile::ProfileFile(const QString& path, std::string_view bytes) : path_(path)
{
    if (bytes.size() > static_cast<std::size_t>(kMaxFileSize))
        readResult_ = FileResult::failed(kTooLarge);
    else
        readResult_ = parse(bytes);
}

FileResult ProfileFile::readFile(Source source, std::string& bytes) const
{
    const fs::path native = NativePath(path_);
    std::error_code error;
    const fs::file_status status = fs::status(native, error);
    if (status.type() == fs::file_type::not_found)
        return {FileResult::Status::Missing, {}};
    // A loop of links, a folder on the way that may not be searched.
    if (error)
        return FileResult::failed(QString::fromStdString(error.message()));
    if (fs::is_directory(status))
        return FileResult::systemError(EISDIR);
    if (source == Source::RegularFile && !fs::is_regular_file(status))
        return FileResult::failed(QStringLiteral("not a regular file"));
    NativeFile file;
    FileResult result = file.open(native, NativeFile::Mode::Read);
    if (result.ok())
        result = file.readUpTo(bytes, static_cast<std::size_t>(kMaxFileSize) + 1);
    if (result.ok() && bytes.size() > static_cast<std::size_t>(kMaxFileSize))
        result = FileResult::failed(kTooLarge);
    return result;
}

FileResult ProfileFile::parse(std::string_view bytes)
{
    const bool littleEndian = bytes.starts_with(kUtf16LEMark);
    if (littleEndian || bytes.starts_with(kUtf16BEMark)) {
        encoding_ = littleEndian ? Encoding::Utf16LE : Encoding::Utf16BE;
        bytes.remove_prefix(kUtf16LEMark.size());
        // A second mark after the first is text, kept as it stands.
        QStringDecoder decode(littleEndian ? QStringConverter::Utf16LE : QStringConverter::Utf16BE,
                              QStringConverter::Flag::ConvertInitialBom);
        const QString text = decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
        // Text that would not come back as it was when the file is saved.
        if (bytes.size() % 2 != 0 || decode.hasError() || !text.isValidUtf16())
            return FileResult::failed(QStringLiteral("not valid UTF-16 text"));
        parseLines(text.toStdString());
        return FileResult::done();
    }
    if (bytes.starts_with(kUtf8Mark)) {
        encoding_ = Encoding::Utf8WithMark;
        bytes.remove_prefix(kUtf8Mark.size());
    }
    parseLines(bytes);
    return FileResult::done();
}

void ProfileFile::parseLines(std::string_view bytes)
{
    bool styleFound = false;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = start;
        while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n')
            ++end;
        std::size_t next = end;
        if (end < bytes.size())
            next += bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n' ? 2 : 1;
        const std::string_view ending = bytes.substr(end, next - end);
        if (!styleFound && !ending.empty()) {
            newline_ = std::string(ending);
            styleFound = true;
        }
        lines_.push_back({std::string(bytes.substr(start, end - start)), std::string(ending)});
        start = next;
    }
    index();
}

void ProfileFile::index()
{
    sections_.clear();
    Section* current = nullptr;  // null outside a section and in repeated sections
    for (LineRef line = lines_.begin(); line != lines_.end(); ++line) {
        const Parsed parsed = parseLine(line->text);
        if (parsed.kind == Kind::Section) {
            const auto [entry, isNew] = sections_.try_emplace(folded(parsed.name), Section{line, line, {}});
            current = isNew ? &entry->second : nullptr;
        } else if (current && parsed.kind != Kind::Blank) {
            current->lastNonBlank = line;
            if (parsed.kind == Kind::Key)
                current->keys.try_emplace(folded(parsed.name), line);
        }
    }
}

const ProfileFile::Section* ProfileFile::findSection(std::string_view section) const
{
    const auto found = sections_.find(folded(trimmed(section)));
    return found == sections_.end() ? nullptr : &found->second;
}

std::optional<std::string> ProfileFile::value(std::string_view section, std::string_view key) const
{
    const Section* entry = findSection(section);
    if (!entry)
        return std::nullopt;
    const auto found = entry->keys.find(folded(trimmed(key)));
    if (found == entry->keys.end())
        return std::nullopt;
    std::string_view result = parseLine(found->second->text).value;
    if (result.size() >= 2 && (result.front() == '"' || result.front() == '\'') && result.back() == result.front())
        result = result.substr(1, result.size() - 2);
    return std::string(result.substr(0, kMaxValueLength));
}

std::string ProfileFile::readString(std::string_view section, std::string_view key, std::string_view fallback) const
{
    std::optional<std::string> result = value(section, key);
    return result ? std::move(*result) : std::string(fallback);
}

int32_t ProfileFile::readInteger(std::string_view section, std::string_view key, int32_t fallback) const
{
    const std::optional<std::string> text = value(section, key);
    if (!text)
        return fallback;
    const std::optional<ScannedInteger> number = scanInteger(*text);
    return number && number->length == text->size() ? number->value : fallback;
}

std::optional<int32_t> ProfileFile::LeadingInteger(std::string_view value)
{
    const std::optional<ScannedInteger> number = scanInteger(value);
    if (!number || !number->fits)
        return std::nullopt;
    return number->value;
}

int ProfileFile::lineOf(std::string_view section, std::string_view key) const
{
    const Section* entry = findSection(section);
    if (!entry)
        return 0;
    const auto found = entry->keys.find(folded(trimmed(key)));
    if (found == entry->keys.end())
        return 0;
    return static_cast<int>(std::distance(lines_.begin(), std::list<Line>::const_iterator(found->second))) + 1;
}

ProfileFile::LineRef ProfileFile::insertAfter(LineRef position, std::string text)
{
    // A last line without an ending gets one before anything follows it.
    if (position != lines_.end() && position->ending.empty())
        position->ending = newline_;
    const LineRef before = position == lines_.end() ? lines_.begin() : std::next(position);
    return lines_.insert(before, {std::move(text), newline_});
}

void ProfileFile::writeString(std::string_view section, std::string_view key, std::string_view value)
{
    const std::string sectionName(trimmed(section));
    const std::string keyName(trimmed(key));
    auto found = sections_.find(folded(sectionName));
    if (found == sections_.end()) {
        // A new section at the end, set off by a blank line.
        LineRef last = lines_.empty() ? lines_.end() : std::prev(lines_.end());
        if (last != lines_.end() && parseLine(last->text).kind != Kind::Blank)
            last = insertAfter(last, std::string());
        const LineRef header = insertAfter(last, "[" + sectionName + "]");
        found = sections_.try_emplace(folded(sectionName), Section{header, header, {}}).first;
    }
    Section& entry = found->second;

    const std::string foldedKey = folded(keyName);
    if (const auto existing = entry.keys.find(foldedKey); existing != entry.keys.end()) {
        // Replaced where it stands, keeping the name as the file spells it.
        Line& line = *existing->second;
        line.text = std::string(parseLine(line.text).name) + "=" + std::string(value);
        return;
    }
    // After the section's last non-blank line, so blank lines that separate
    // it from the next section stay where they are.
    entry.lastNonBlank = insertAfter(entry.lastNonBlank, keyName + "=" + std::string(value));
    entry.keys.emplace(foldedKey, entry.lastNonBlank);
}

void ProfileFile::deleteKey(std::string_view section, std::string_view key)
{
    const Section* entry = findSection(section);
    if (!entry)
        return;
    // Every line of the key in the section, so that no later one of the
    // same name comes to light in its place.
    const std::string foldedKey = folded(trimmed(key));
    for (LineRef line = std::next(entry->header); line != lines_.end();) {
        const Parsed parsed = parseLine(line->text);
        if (parsed.kind == Kind::Section)
            break;
        line = parsed.kind == Kind::Key && folded(parsed.name) == foldedKey ? lines_.erase(line) : std::next(line);
    }
    index();
}

void ProfileFile::writeInteger(std::string_view section, std::string_view key, int32_t value)
{
    writeString(section, key, std::to_string(value));
}

std::string ProfileFile::text() const
{
    std::string body;
    for (const Line& line : lines_) {
        body.append(line.text);
        body.append(line.ending);
    }
    switch (encoding_) {
    case Encoding::Utf8:
        break;
    case Encoding::Utf8WithMark:
        return std::string(kUtf8Mark) + body;
    case Encoding::Utf16LE:
    case Encoding::Utf16BE: {
        const bool littleEndian = encoding_ == Encoding::Utf16LE;
        QStringEncoder encode(littleEndian ? QStringConverter::Utf16LE : QStringConverter::Utf16BE,
                              QStringConverter::Flag::ConvertInitialBom);
        // Decoded so that a mark at the start of the text stays text.
        QStringDecoder fromUtf8(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
        const QByteArray encoded = encode(fromUtf8(QByteArrayView(body.data(), static_cast<qsizetype>(body.size()))));
        return std::string(littleEndian ? kUtf16LEMark : kUtf16BEMark) + encoded.toStdString();
    }
    }
    return body;
}

FileResult ProfileFile::save(MissingFolder missingFolder) const
{
    std::error_code error;
    if (readResult_.status == FileResult::Status::Failed)
        return FileResult::failed(fs::is_regular_file(NativePath(path_), error)
                                      ? QStringLiteral("it could not be read, so it was not replaced")
                                      : QStringLiteral("not a regular file"));
    return ReplaceFileContents(path_, text(), missingFolder);
}
