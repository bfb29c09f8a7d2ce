#include "app/PlatformArguments.h"

#include <QCoreApplication>
#include <algorithm>
#include <cstdlib>

namespace brinmor {

namespace {

// The words added on Windows where the user chose no platform, with the settings that go with
// them; none elsewhere.
std::vector<std::string> ChosenPlatformWords(const std::vector<std::string>& arguments,
                                             const char* platformVariable) {
#ifdef _WIN32
    const bool chosen =
        (platformVariable != nullptr && *platformVariable != '\0') ||
        std::find(arguments.begin(), arguments.end(), "-platform") != arguments.end();
    if (!chosen) {
        // A program unaware of scaling sees 96 dots per inch on Windows, which enlarges its
        // windows itself; where the system tells it the real scale anyway (Wine does), the
        // program still draws as at 100 % rather than spread its bitmap letters apart.
        qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
        QCoreApplication::setAttribute(Qt::AA_Use96Dpi);
        return {"-platform", "windows:fontengine=freetype:dpiawareness=0"};
    }
#else
    (void)arguments;
    (void)platformVariable;
#endif
    return {};
}

} // namespace

PlatformArguments::PlatformArguments(int argc, char** argv) : words_(argv, argv + argc) {
    const std::vector<std::string> added =
        ChosenPlatformWords(words_, std::getenv("QT_QPA_PLATFORM"));
    words_.insert(words_.end(), added.begin(), added.end());
    for (std::string& word : words_)
        pointers_.push_back(word.data());
    count_ = static_cast<int>(words_.size());
    pointers_.push_back(nullptr);
}

} // namespace brinmor
