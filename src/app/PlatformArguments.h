#pragma once

#include <string>
#include <vector>

namespace brinmor {

// The platform the toolkit starts where the user chooses none: Windows' own; elsewhere the
// toolkit picks the desktop's.
#ifdef _WIN32
inline constexpr const char* DefaultPlatform = "windows";
#else
inline constexpr const char* DefaultPlatform = "";
#endif

// How the program starts the toolkit. On the windows platform text is drawn through FreeType,
// as on Linux, so the carried bitmap MS Sans Serif is drawn at its own strike at 100 %, and its
// outlines at other scales. The toolkit scales the windows itself, per monitor, as its windows
// platform does unless told otherwise. A platform the user chooses (`-platform`, `--platform`
// or QT_QPA_PLATFORM) keeps the user's words, `dpiawareness=0` included, which leaves scaling
// to Windows; when it is windows, it gains each of the program's options it lacks.
// Construct it before the application object.
class PlatformArguments {
public:
    // The program's command line and QT_QPA_PLATFORM.
    PlatformArguments(int argc, char** argv);
    PlatformArguments(std::vector<std::string> words, const std::string& platformVariable,
                      const std::string& defaultPlatform);
    PlatformArguments(const PlatformArguments&) = delete;
    PlatformArguments& operator=(const PlatformArguments&) = delete;

    // The words the toolkit starts with.
    const std::vector<std::string>& Words() const { return words_; }
    // The toolkit takes the windows platform, unaware of display scaling, as the user asked.
    bool LeavesScalingToSystem() const;

    // Both stay valid as long as this object, as the application object needs.
    int& argc() { return count_; }
    char** argv() { return pointers_.data(); }

private:
    std::vector<std::string> words_;
    // The platform the toolkit takes, as it reads the words and the variable.
    std::string platform_;
    std::vector<char*> pointers_;
    int count_ = 0;
};

// What the toolkit reads from the process rather than from its words: scale factors as the
// display gives them, or none for a platform that leaves display scaling to the system. Call
// before the application object.
void SetProcessWideScaling(const PlatformArguments& arguments);

} // namespace brinmor
