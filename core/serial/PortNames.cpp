#include "core/serial/PortNames.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <set>
#include <system_error>

namespace {

// The path with its symbolic links resolved, so "/dev/serial/by-id/..." and
// the "/dev/ttyUSB0" it leads to count as one device.
std::string resolved(const std::string& path)
{
    std::error_code error;
    const std::filesystem::path target = std::filesystem::canonical(path, error);
    return error ? path : target.string();
}

bool isOnboard(const SerialDevice& device)
{
    return std::filesystem::path(device.path).filename().string().starts_with("ttyS");
}

// Names compared with their digit runs as numbers: ttyUSB2 before ttyUSB10.
bool naturalLess(const std::string& a, const std::string& b)
{
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        const bool digitA = std::isdigit(static_cast<unsigned char>(a[i])) != 0;
        const bool digitB = std::isdigit(static_cast<unsigned char>(b[j])) != 0;
        if (digitA && digitB) {
            std::size_t endA = i;
            std::size_t endB = j;
            while (endA < a.size() && std::isdigit(static_cast<unsigned char>(a[endA])))
                ++endA;
            while (endB < b.size() && std::isdigit(static_cast<unsigned char>(b[endB])))
                ++endB;
            const std::string_view runA = std::string_view(a).substr(i, endA - i);
            const std::string_view runB = std::string_view(b).substr(j, endB - j);
            const std::string_view trimmedA = runA.substr(std::min(runA.find_first_not_of('0'), runA.size()));
            const std::string_view trimmedB = runB.substr(std::min(runB.find_first_not_of('0'), runB.size()));
            if (trimmedA.size() != trimmedB.size())
                return trimmedA.size() < trimmedB.size();
            if (trimmedA != trimmedB)
                return trimmedA < trimmedB;
            i = endA;
            j = endB;
        } else {
            if (a[i] != b[j])
                return a[i] < b[j];
            ++i;
            ++j;
        }
    }
    return a.size() - i < b.size() - j;
}

}  // namespace

std::optional<int> ComNumber(const std::string& port)
{
    if (port.size() < 4 || port.size() > 6)
        return std::nullopt;
    for (std::size_t i = 0; i < 3; ++i) {
        const char c = port[i] >= 'a' && port[i] <= 'z' ? static_cast<char>(port[i] - 'a' + 'A') : port[i];
        if (c != "COM"[i])
            return std::nullopt;
    }
    if (port[3] == '0')
        return std::nullopt;
    int number = 0;
    for (std::size_t i = 3; i < port.size(); ++i) {
        if (port[i] < '0' || port[i] > '9')
            return std::nullopt;
        number = number * 10 + (port[i] - '0');
    }
    if (number > PortNames::kHighestComNumber)
        return std::nullopt;
    return number;
}

PortNames PortNames::Assign(const std::map<int, std::string>& explicitPaths, std::vector<SerialDevice> present)
{
    std::stable_sort(present.begin(), present.end(), [](const SerialDevice& a, const SerialDevice& b) {
        if (isOnboard(a) != isOnboard(b))
            return isOnboard(a);
        return naturalLess(a.path, b.path);
    });

    PortNames names;
    // A device the system has given a COM name (Windows) keeps it.
    std::erase_if(present, [&names](const SerialDevice& device) {
        const std::optional<int> own = ComNumber(device.path);
        if (own) {
            names.paths_[*own] = device.path;
            names.devices_.emplace(*own, device);
        }
        return own.has_value();
    });
    std::set<std::string> named;
    for (const auto& [number, path] : explicitPaths) {
        if (number < 1 || number > kHighestComNumber || path.empty() || names.paths_.contains(number))
            continue;
        names.map(number, path);
        named.insert(resolved(path));
    }
    int next = 1;
    for (const SerialDevice& device : present) {
        const std::string target = resolved(device.path);
        if (named.contains(target)) {
            // An explicitly mapped device still shows what it is.
            for (const auto& [number, path] : names.paths_) {
                if (resolved(path) == target)
                    names.devices_.emplace(number, device);
            }
            continue;
        }
        while (next <= kHighestComNumber && names.paths_.contains(next))
            ++next;
        if (next > kHighestComNumber)
            break;
        names.map(next, device.path);
        names.devices_.emplace(next, device);
        names.assigned_.insert(next);
        named.insert(target);
    }
    return names;
}

void PortNames::map(int comNumber, const std::string& devicePath)
{
    paths_[comNumber] = devicePath;
    assigned_.erase(comNumber);
}

std::string PortNames::devicePath(const std::string& port) const
{
    if (port.starts_with('/'))
        return port;
    const std::optional<int> number = ComNumber(port);
    if (!number)
        return port;
    const auto found = paths_.find(*number);
    return found == paths_.end() ? std::string() : found->second;
}

std::string PortNames::pathToKeep(int comNumber) const
{
    if (!assigned_.contains(comNumber))
        return {};
    const SerialDevice& present = devices_.at(comNumber);
    return present.stablePath.empty() ? present.path : present.stablePath;
}

std::vector<int> PortNames::listedNumbers(int chosen) const
{
    std::set<int> numbers;
    for (int n = 1; n <= kComNameCount; ++n)
        numbers.insert(n);
    for (const auto& [number, path] : paths_)
        numbers.insert(number);
    if (chosen >= 1 && chosen <= kHighestComNumber)
        numbers.insert(chosen);
    return {numbers.begin(), numbers.end()};
}

const SerialDevice* PortNames::device(int comNumber) const
{
    const auto found = devices_.find(comNumber);
    return found == devices_.end() ? nullptr : &found->second;
}
