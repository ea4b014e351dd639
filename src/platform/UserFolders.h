// The folders the system gives each user for a program's own files, used when
// the program's folder cannot be written (an installed program). UTF-8 paths,
// already ending in the program's own folder name; empty when the system does
// not say. Nothing is created here. Never throws.
#pragma once

#include <string>

struct TUserFolders {
  // Where the user's configuration lives.
  std::string Configuration;
  // Where the user's trace log lives.
  std::string Log;
};

// Linux: $XDG_CONFIG_HOME/sulo (default ~/.config/sulo) and $XDG_STATE_HOME/sulo
// (default ~/.local/state/sulo). Windows: the local application-data folder's
// Sulo for both.
TUserFolders UserFolders();
