#pragma once
// The user's folders: home, documents (from the XDG user-folder settings) and the runtime folder,
// and "~" expansion. Files are written through writeFileAtomically (AtomicFile.h).
#include <sys/types.h>

#include <filesystem>
#include <string>

namespace vm::paths {

// $HOME, else the home folder of the user's account.
std::filesystem::path homeFolder();

// $XDG_CONFIG_HOME, else ~/.config.
std::filesystem::path configHome();

// XDG_DOCUMENTS_DIR from $XDG_CONFIG_HOME/user-dirs.dirs (~/.config/user-dirs.dirs when unset),
// as "$HOME/..." or an absolute path; ~/Documents when the settings name none.
std::filesystem::path documentsFolder();

// Creates the folder and its missing parents with `mode` (exactly, whatever the umask), leaving
// folders that exist as they are. False when the folder is not there afterwards.
bool createFolders(const std::filesystem::path& folder, mode_t mode = 0700);

// "~" alone or a leading "~/" becomes the home folder; "~/Documents" and what lies below it become
// the documents folder, so that the program's folders under ~/Documents follow the user's choice.
// Other paths are returned as given.
std::string expandTilde(const std::string& path);

}  // namespace vm::paths
