// Writing a captured picture into the save folder so that no picture is ever
// lost, overwritten or left half written:
//   - the name is the local time of saving, "yyyyMMddhhmmss" + ".jpg"; a name
//     already taken (two saves in one second, a clock set back) gets "-2",
//     "-3" ... before ".jpg". The name is claimed atomically, so two writers
//     never get the same one;
//   - the bytes go to a temporary file in the same folder and are flushed to
//     disk; only then does the file take its name (a hard link, or an
//     exclusive claim and a rename where there are no hard links; on Windows
//     a move that refuses a name already taken).
// Missing folders are created with their parents.
#pragma once

#include <QDateTime>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

// A picture that could not be written; the text says why in plain words.
class EPictureSave : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The file name for a save at `when`: "yyyyMMddhhmmss.jpg".
std::string PictureFileName(const QDateTime& when);

// Writes `jpeg` into `folder` (a separator is added when missing) under the
// name for `when`. Returns the full path written; `madeFolder`, when given,
// tells whether the folder had to be made. Raises EPictureSave; then nothing
// is left behind but what was there before.
std::string SavePictureFile(const std::string& folder, const std::vector<std::uint8_t>& jpeg, const QDateTime& when,
                            bool* madeFolder = nullptr);
