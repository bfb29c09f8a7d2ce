#include "app/PlatformArguments.h"

#include "platform/AsciiText.h"

#include <QGuiApplication>
#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string_view>

namespace brinmor {

namespace {

constexpr std::string_view ProgramOptions[] = {"fontengine=freetype"};
constexpr const char* HighDpiScaling = "QT_ENABLE_HIGHDPI_SCALING";

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

// The parts of an entry of a platform choice, "name:option:...", name the windows platform;
// the toolkit reads the name in any case.
bool NamesWindows(const std::vector<std::string_view>& parts) {
    return SameIgnoringAsciiCase(parts.front(), "windows");
}

// The choice, a list of entries separated by ';' that the toolkit tries in turn, with each
// of the program's options added to each windows entry that lacks it. The options are the
// windows platform's own: any other takes the user's words alone.
std::string WithProgramOptions(std::string_view choice) {
    std::string result;
    std::string_view separator;
    for (std::string_view entry : Split(choice, ';')) {
        (result += separator) += entry;
        separator = ";";
        const std::vector<std::string_view> parts = Split(entry, ':');
        if (!NamesWindows(parts))
            continue;
        for (std::string_view option : ProgramOptions) {
            const std::string_view key = option.substr(0, option.find('=') + 1);
            if (std::none_of(parts.begin() + 1, parts.end(), [key](std::string_view part) {
                    return part.substr(0, key.size()) == key;
                }))
                (result += ':') += option;
        }
    }
    return result;
}

// The word that holds the platform the user chose on the command line, as the toolkit reads
// it: the one after the last "-platform" or "--platform" that has one.
std::optional<std::size_t> PlatformWord(const std::vector<std::string>& words) {
    std::optional<std::size_t> found;
    for (std::size_t i = 1; i + 1 < words.size(); ++i) {
        if (words[i] == "-platform" || words[i] == "--platform")
            found = ++i;
    }
    return found;
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
    const std::optional<std::size_t> given = PlatformWord(words_);
    std::string chosen = platformVariable.empty() ? defaultPlatform : platformVariable;
    if (given)
        chosen = words_[*given];
    platform_ = WithProgramOptions(chosen);
    if (given) {
        words_[*given] = platform_;
    } else if (platform_ != chosen) {
        // First, where no word of the user's can take it for its value; the command line
        // wins over the variable.
        words_.insert(words_.begin() + std::min<std::size_t>(words_.size(), 1),
                      {"-platform", platform_});
    }
    for (std::string& word : words_)
        pointers_.push_back(word.data());
    count_ = static_cast<int>(words_.size());
    pointers_.push_back(nullptr);
}

bool PlatformArguments::LeavesScalingToSystem() const {
    // The toolkit takes the first entry it can start.
    const std::vector<std::string_view> parts = Split(Split(platform_, ';').front(), ':');
    return NamesWindows(parts) &&
           std::find(parts.begin() + 1, parts.end(), "dpiawareness=0") != parts.end();
}

void SetProcessWideScaling(const PlatformArguments& arguments) {
    if (!arguments.LeavesScalingToSystem()) {
        // 125 and 150 % are drawn as such, in the outlines of the designed letters, not
        // rounded to 100 or 200 %.
        QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
            Qt::HighDpiScaleFactorRoundingPolicy::PassThrough);
        return;
    }
    // A program unaware of scaling sees 96 dots per inch on Windows, which enlarges its windows
    // itself; where the system tells it the real scale anyway (Wine does), the program still
    // draws as at 100 % rather than spread its bitmap letters apart.
    QCoreApplication::setAttribute(Qt::AA_Use96Dpi);
    // The user's own setting stays, as their platform words do.
    if (qEnvironmentVariableIsSet(HighDpiScaling))
        return;
    // The toolkit has no other switch for it, and reads it once, as the application object
    // starts; the browser or mail program that the About window's links start must not
    // inherit it.
    qputenv(HighDpiScaling, "0");
    qAddPreRoutine([] { qunsetenv(HighDpiScaling); });
}

} // namespace brinmor
