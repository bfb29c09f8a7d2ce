#include "app/PlatformArguments.h"

#include <QCoreApplication>
#include <algorithm>
#include <cstdlib>
#include <string_view>

namespace brinmor {

namespace {

constexpr const char* ProgramOptions = ":fontengine=freetype:dpiawareness=0";

// The platform as the toolkit reads its choice: the value after the last "-platform" word,
// else the variable when it is not empty, else its default.
std::string ChosenPlatform(const std::vector<std::string>& words,
                           const std::string& platformVariable,
                           const std::string& defaultPlatform) {
    std::string platform = platformVariable.empty() ? defaultPlatform : platformVariable;
    for (std::size_t i = 1; i + 1 < words.size(); ++i) {
        if (words[i] == "-platform")
            platform = words[++i];
    }
    return platform;
}

// The parts of one entry of a platform choice: its name, then its options.
std::vector<std::string_view> Split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end - start));
        if (end == std::string_view::npos)
            return parts;
        start = end + 1;
    }
}

} // namespace

PlatformArguments::PlatformArguments(int argc, char** argv)
    : PlatformArguments(std::vector<std::string>(argv, argv + argc),
                        std::getenv("QT_QPA_PLATFORM") ? std::getenv("QT_QPA_PLATFORM") : "",
                        DefaultPlatform) {}

PlatformArguments::PlatformArguments(std::vector<std::string> words,
                                     const std::string& platformVariable,
                                     const std::string& defaultPlatform)
    : words_(std::move(words)) {
    const bool chosen = !platformVariable.empty() ||
                        std::find(words_.begin(), words_.end(), "-platform") != words_.end();
    if (!chosen && !defaultPlatform.empty())
        words_.insert(words_.end(), {"-platform", defaultPlatform + ProgramOptions});
    platform_ = ChosenPlatform(words_, platformVariable, defaultPlatform);
    for (std::string& word : words_)
        pointers_.push_back(word.data());
    count_ = static_cast<int>(words_.size());
    pointers_.push_back(nullptr);
}

bool PlatformArguments::LeavesScalingToSystem() const {
    const std::vector<std::string_view> parts = Split(Split(platform_, ';').front(), ':');
    return parts.front() == "windows" &&
           std::find(parts.begin() + 1, parts.end(), "dpiawareness=0") != parts.end();
}

void SetProcessWideScaling(const PlatformArguments& arguments) {
    if (!arguments.LeavesScalingToSystem())
        return;
    // A program unaware of scaling sees 96 dots per inch on Windows, which enlarges its windows
    // itself; where the system tells it the real scale anyway (Wine does), the program still
    // draws as at 100 % rather than spread its bitmap letters apart.
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    QCoreApplication::setAttribute(Qt::AA_Use96Dpi);
}

} // namespace brinmor
