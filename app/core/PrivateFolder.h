#pragma once
// Folders the recovery and the comparison make: a private temporary folder that goes with its
// owner, and the folders of a recovered project, which are never links.

#include <string>

namespace AppCore {

// A new folder under the system's temporary folder, readable by this user only, removed with
// everything in it when the object goes. Path() is empty, and Error() says why, when none
// could be made.
class TPrivateTempFolder {
public:
    explicit TPrivateTempFolder(const std::string& prefix);
    ~TPrivateTempFolder();
    TPrivateTempFolder(const TPrivateTempFolder&) = delete;
    TPrivateTempFolder& operator=(const TPrivateTempFolder&) = delete;

    const std::string& Path() const { return Dir; }
    const std::string& Error() const { return Why; }

private:
    std::string Dir, Why;
};

// Makes path when it is missing. A folder that is there is taken; anything else (a file, a
// link, unless follow) is refused with error set.
bool MakeFolder(const std::string& path, std::string& error, bool follow = false);

} // namespace AppCore
