#include "setup/ProfileFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>


namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::size_t npos = std::string::npos;

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

std::optional<int32_t> parseDigits(std::string_view digits, uint32_t base)
{
    if (digits.empty())
        return std::nullopt;
    uint32_t value = 0;
    for (char c : digits) {
        uint32_t digit = 0;
        if (c >= '0' && c <= '9')
            digit = static_cast<uint32_t>(c - '0');
        else if (base == 16 && c >= 'a' && c <= 'f')
            digit = static_cast<uint32_t>(c - 'a' + 10);
        else if (base == 16 && c >= 'A' && c <= 'F')
            digit = static_cast<uint32_t>(c - 'A' + 10);
        else
            return std::nullopt;
        value = value * base + digit;
    }
    return static_cast<int32_t>(value);
}

// "0x85" and "0X85" are hexadecimal; otherwise an optional sign, then "$"
// and hexadecimal digits, or decimal digits.
std::optional<int32_t> parseInteger(std::string_view text)
{
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X'))
        return parseDigits(text.substr(2), 16);
    bool negative = false;
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    std::optional<int32_t> magnitude;
    if (!text.empty() && text[0] == '$')
        magnitude = parseDigits(text.substr(1), 16);
    else
        magnitude = parseDigits(text, 10);
    if (!magnitude || !negative)
        return magnitude;
    return static_cast<int32_t>(0u - static_cast<uint32_t>(*magnitude));
}

}  // namespace

ProfileFile::ProfileFile(const QString& path) : path_(path)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        status_ = Status::Missing;
        return;
    }
    // Anything but a regular file (a directory, a pipe that would block the
    // read, a device) or an oversized file is treated as unreadable.
    QFile file(path);
    if (!info.isFile() || info.size() > kMaxFileSize || !file.open(QIODevice::ReadOnly)) {
        status_ = Status::Failed;
        return;
    }
    const QByteArray bytes = file.read(kMaxFileSize + 1);
    if (file.error() != QFileDevice::NoError || bytes.size() > kMaxFileSize) {
        status_ = Status::Failed;
        return;
    }
    status_ = Status::Loaded;
    parse(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

void ProfileFile::parse(std::string_view bytes)
{
    if (bytes.starts_with(kByteOrderMark)) {
        byteOrderMark_ = true;
        bytes.remove_prefix(kByteOrderMark.size());
    }
    bool styleFound = false;
    std::size_t start = 0;
    while (start < bytes.size()) {
        std::size_t end = bytes.find_first_of("\r\n", start);
        std::size_t next = bytes.size();
        std::string_view ending;
        if (end == npos) {
            end = bytes.size();
        } else {
            const std::size_t endingLength = bytes.compare(end, 2, "\r\n") == 0 ? 2 : 1;
            ending = bytes.substr(end, endingLength);
            next = end + endingLength;
        }
        if (!styleFound && !ending.empty()) {
            newline_ = std::string(ending);
            styleFound = true;
        }
        lines_.push_back(makeLine(std::string(bytes.substr(start, end - start)), std::string(ending)));
        start = next;
    }
}

ProfileFile::Line ProfileFile::makeLine(std::string text, std::string ending)
{
    Line line;
    const std::string_view content = trimmed(text);
    if (content.empty()) {
        line.kind = Kind::Blank;
    } else if (content.front() == ';') {
        line.kind = Kind::Comment;
    } else if (content.front() == '[' && content.rfind(']') != npos) {
        line.kind = Kind::Section;
        line.name = folded(trimmed(content.substr(1, content.rfind(']') - 1)));
    } else if (const std::size_t equals = content.find('='); equals != npos) {
        line.kind = Kind::Key;
        line.name = folded(trimmed(content.substr(0, equals)));
        line.value = std::string(trimmed(content.substr(equals + 1)));
    }
    line.text = std::move(text);
    line.ending = std::move(ending);
    return line;
}

std::size_t ProfileFile::findSection(std::string_view foldedName) const
{
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (lines_[i].kind == Kind::Section && lines_[i].name == foldedName)
            return i;
    }
    return npos;
}

std::size_t ProfileFile::findKey(std::size_t header, std::string_view foldedName) const
{
    for (std::size_t i = header + 1; i < lines_.size() && lines_[i].kind != Kind::Section; ++i) {
        if (lines_[i].kind == Kind::Key && lines_[i].name == foldedName)
            return i;
    }
    return npos;
}

std::optional<std::string> ProfileFile::value(std::string_view section, std::string_view key) const
{
    const std::size_t header = findSection(folded(trimmed(section)));
    if (header == npos)
        return std::nullopt;
    const std::size_t index = findKey(header, folded(trimmed(key)));
    if (index == npos)
        return std::nullopt;
    std::string_view result = lines_[index].value;
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
    return parseInteger(*text).value_or(fallback);
}

void ProfileFile::insertLine(std::size_t index, Line line)
{
    // A last line without an ending gets one before anything follows it.
    if (index > 0 && lines_[index - 1].ending.empty())
        lines_[index - 1].ending = newline_;
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(index), std::move(line));
}

void ProfileFile::writeString(std::string_view section, std::string_view key, std::string_view value)
{
    const std::string sectionName(trimmed(section));
    const std::string keyName(trimmed(key));
    std::size_t header = findSection(folded(sectionName));
    if (header == npos) {
        if (!lines_.empty() && lines_.back().kind != Kind::Blank)
            insertLine(lines_.size(), makeLine(std::string(), newline_));
        header = lines_.size();
        insertLine(header, makeLine("[" + sectionName + "]", newline_));
    }

    const std::size_t index = findKey(header, folded(keyName));
    if (index != npos) {
        Line& line = lines_[index];
        const std::string_view content = trimmed(line.text);
        const std::string existingKey(trimmed(content.substr(0, content.find('='))));
        line = makeLine(existingKey + "=" + std::string(value), std::move(line.ending));
        return;
    }

    // After the section's last non-blank line, so blank lines that separate
    // it from the next section stay where they are.
    std::size_t insertAt = header + 1;
    for (std::size_t i = header + 1; i < lines_.size() && lines_[i].kind != Kind::Section; ++i) {
        if (lines_[i].kind != Kind::Blank)
            insertAt = i + 1;
    }
    insertLine(insertAt, makeLine(keyName + "=" + std::string(value), newline_));
}

void ProfileFile::writeInteger(std::string_view section, std::string_view key, int32_t value)
{
    writeString(section, key, std::to_string(value));
}

std::string ProfileFile::text() const
{
    std::string result;
    if (byteOrderMark_)
        result.append(kByteOrderMark);
    for (const Line& line : lines_) {
        result.append(line.text);
        result.append(line.ending);
    }
    return result;
}

bool ProfileFile::save() const
{
    if (status_ == Status::Failed)
        return false;
    const QFileInfo info(path_);
    if (info.exists() && (!info.isFile() || !info.isWritable()))
        return false;
    // QSaveFile writes a temporary file beside the target and renames it over
    // the target on commit, keeping the target's permissions.
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const std::string bytes = text();
    if (file.write(bytes.data(), static_cast<qint64>(bytes.size())) != static_cast<qint64>(bytes.size())) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
