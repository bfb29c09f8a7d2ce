#pragma once

#include <string>
#include <vector>

namespace brinmor {

// How the program starts the toolkit. On Windows, unless the user chose a platform (`-platform`
// or QT_QPA_PLATFORM), the windows platform draws text through FreeType, as on Linux, so the
// carried bitmap MS Sans Serif is drawn at its own strike; and the program draws at 100 % and
// leaves display scaling to Windows, since that strike cannot be drawn at 125 or 150 %.
// Construct it before the application object.
class PlatformArguments {
public:
    PlatformArguments(int argc, char** argv);
    PlatformArguments(const PlatformArguments&) = delete;
    PlatformArguments& operator=(const PlatformArguments&) = delete;

    // Both stay valid as long as this object, as the application object needs.
    int& argc() { return count_; }
    char** argv() { return pointers_.data(); }

private:
    std::vector<std::string> words_;
    std::vector<char*> pointers_;
    int count_ = 0;
};

} // namespace brinmor
