// Every user setting of zelk, one field per control of the main window and of
// the settings window for multiple files. The desktop program keeps this
// record bound to its controls (a control change writes the field at once),
// so the core reads each setting at the moment it needs it.
#pragma once

#include <cstdint>
#include <string>

namespace zelk {

inline constexpr const char* kDefaultViewportMetaTag =
    "<meta name=\"viewport\" content=\"width=device-width,initial-scale=1.0\">";
inline constexpr int kNumLanguages = 7;
inline constexpr int32_t kDefaultBackColor = 14737632;  // E0E0E0, light grey

struct Settings {
    // Main window.
    std::string VPMT = kDefaultViewportMetaTag;  // txbVPMT
    std::string InputFile;                      // the InputFile variable (line 2)
    std::string Folder;                         // the Folder variable (line 3)
    std::string BeginMetaTagWith;
    std::string ExcludedFilepaths;
    std::string MaxNumKeywordsInMetaTag = "15";  // text box contents
    std::string MaxNumBytesInMetaTag = "150";
    int ForwardSlash = 0;
    int InsertKWMT = 0;
    int InsertVPMT = 0;
    int Language = 0;  // 0 English ... 6 all six languages
    bool SingleFile = true;
    int32_t BackColor = kDefaultBackColor;
    // List positions 0-9; the weight is the number the list shows.
    int TitleWeight = 9;
    int DescriptionWeight = 9;
    int ExistingKeywordsWeight = 9;
    int BoldWeight = 4;
    int ItalicWeight = 4;
    int TableWeight = 1;
    int DivWeight = 2;
    int SpanWeight = 2;
    int ShortWordSize = 1;
    int ThresholdFrequency = 1;
    int PreserveCase = 0;
    int IgnoreCommonWords = 1;
    int IgnoreShortWords = 1;
    int LargeWindow = 0;
    // Settings window for multiple files.
    int IncludeAllSubfolders = 0;
    int PreserveExistingKWMT = 0;
    int PreserveExistingVPMT = 0;
    int SaveStateOnQuit = 1;
    int SaveStateOnClose = 1;
    int Pause = 2;  // list position of "1".."5"
    int Confirm = 1;
    int DialogBoxForUnixFiles = 1;
};

}  // namespace zelk
