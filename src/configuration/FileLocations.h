// Where a run keeps its configuration and its trace log.
//
// Beside the program when the program's folder can be written and it is not an
// installed program (a package's tree with share/sulo, or the Windows
// installer's folder with its uninstaller): the file names booths already have
// ("<program>.configuration", "<program>.log"). Otherwise in the user's own folders
// ("sulo.configuration" and "sulo.log"); on the first such start the shipped
// configuration is copied there, and an existing one is never replaced.
#pragma once

#include <string>
#include <vector>

#include "platform/UserFolders.h"

struct TFileLocations {
  std::string ConfigurationFile;
  std::string LogFile;
  // True when the user's own folders were chosen.
  bool PerUser = false;
  // What could not be done on the way (a folder that could not be made, a
  // shipped configuration that could not be copied), for the log.
  std::vector<std::string> Problems;
};

// Chooses the files for the program at `executablePath` and, for the user's
// folders, makes them and puts the shipped configuration in place. The shipped
// configuration is "share/sulo/default.configuration" beside the program's
// folder (an installed tree) or else the one beside the program. Never throws.
TFileLocations PrepareFileLocations(const std::string& executablePath, const TUserFolders& user);

// Whether files can be made in `folder`. A folder marked read-only counts as
// not writable even for a user the system would let write it.
bool FolderIsWritable(const std::string& folder);
