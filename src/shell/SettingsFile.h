// The settings file: where it lives, how it is written and read back, and the
// default values the program falls back to. The file has exactly 19 lines,
// each ended by CR LF, in Windows-1252:
//   line 1       the viewport meta tag, raw (no quotes)
//   lines 2-19   one value each in "write" form: texts in double quotes (inner
//                quotes not escaped), numbers in plain decimal, Booleans as
//                #TRUE# / #FALSE#.
// Line order: VPMT, InputFile, Folder, BeginMetaTagWith, ExcludedFilepaths,
// MaxNumKeywordsInMetaTag, MaxNumBytesInMetaTag, ForwardSlash, InsertKWMT,
// InsertVPMT, Language, IncludeAllSubfolders, PreserveExistingKWMT,
// PreserveExistingVPMT, SaveStateOnQuit, SaveStateOnClose, Pause, SingleFile,
// BackColor.
#pragma once

#include <functional>
#include <string>

#include "common/FileSystem.h"
#include "common/Settings.h"

namespace zelk {

inline constexpr int kStateFileLines = 19;

// The whole file as SaveState writes it (exposed so tests and tools can see
// the exact bytes without touching the disk).
std::string StateFileText(const Settings& s);

// Writes the settings file. On failure returns false and puts a short
// description of the cause (for example "Permission denied") into
// errorDescription; the caller shows "Error when attempting to save
// settings: " + errorDescription. The file is rewritten through the safe
// write path (common/SafeWrite.h): a failed save never leaves a truncated
// settings file behind.
bool SaveState(const Settings& s, const std::string& path, std::string& errorDescription,
               FileSystem& fs = RealFileSystem());

// Called after each value has been placed into the record, with the line of
// the file it came from (1 to 19). The desktop program uses it to raise the
// change event of the matching control right then, so each control reacts
// in file order and sees the values of the lines before it. Every line read
// is reported (1 to 19, in order, also when the value did not change), then
// 20 when a non-empty folder box forces multiple-files mode.
using StateFieldPlaced = std::function<void(int line)>;

// Reads the settings file into s. Returns true when the whole file was read.
// On false (missing file, foreign first line, early end of file, a check box
// value outside 0..2, a list index outside its list, an unusable number) the
// values placed before the failure stay in s: the caller then runs
// SetDefaultValues, as the program does at start-up.
//  - Line 1 is accepted when, lower-cased, it begins with "<meta" or is blank.
//  - Values of lines 2-19 are read as a list of values, not as lines: a
//    quoted text ends at the next double quote (what follows it on the same
//    line, up to a comma, starts the next value), an unquoted value runs to
//    the end of its line. SaveState does not escape quotes, so a text with a
//    quote in it shifts the later values; the checks below then usually fail
//    and the caller falls back to the defaults instead of using wrong values.
//  - folderBoxText is the folder text box's contents at the time of the read:
//    when it is not empty, multiple-files mode is selected after a good read.
//    At start-up it is always empty.
bool RestoreState(Settings& s, const std::string& path, FileSystem& fs = RealFileSystem());
bool RestoreState(Settings& s, const std::string& path, const std::string& folderBoxText,
                  const StateFieldPlaced& placed, FileSystem& fs = RealFileSystem());

// Puts the resettable settings to the defaults of a new Settings record
// (Settings.h is the one place that holds them), in this order: ExcludedFilepaths, VPMT, BeginMetaTagWith, ForwardSlash, the
// weight and size lists, the two limit texts ("15", "150"), Language, then the
// settings of the window for multiple files (IncludeAllSubfolders 0, Confirm
// 1, PreserveExistingKWMT 0, PreserveExistingVPMT 0, SaveStateOnClose 1,
// SaveStateOnQuit 1, Pause 2). It leaves InsertKWMT, InsertVPMT, SingleFile,
// InputFile, Folder, BackColor, PreserveCase, IgnoreCommonWords,
// IgnoreShortWords, LargeWindow and DialogBoxForUnixFiles alone. (The window
// state it also clears - the analysed-document flag, the generated-tag flag
// and the status label - belongs to the desktop program.)
void SetDefaultValues(Settings& s);

// The per-user configuration folder, where settings belong on Linux:
// $XDG_CONFIG_HOME (when set and absolute) or ~/.config. Empty when neither
// can be determined.
std::string UserConfigRoot();

// root + "/" + folderName + "/" + fileName, creating root/folderName (one
// level; the root itself is created with its parents when missing, which a
// fresh account may need). On failure returns "" and puts into error a
// complete message for the user that names the folder and the cause; the
// program shows it once and goes on without saving settings. A settings file
// left in the earlier place ($XDG_DATA_HOME/folderName) is copied over when
// the new one does not exist yet.
std::string DataFilepath(const std::string& fileName, const std::string& folderName,
                         std::string& error, FileSystem& fs = RealFileSystem());

// The settings file name for a program short name: lower-case + ".usr".
std::string StateFileName(const std::string& programShortName);

}  // namespace zelk
