// The edit dialog of an inspected file, without its widgets: the file, the
// new tag (the dialog's box, editable), the main window's output box below
// it, and the four buttons as actions. The window's dialog shows a session
// and forwards its button clicks here; tests drive a session directly.
#pragma once

#include <cstdint>
#include <string>

namespace zelk {

class BatchRun;

class EditSession {
public:
    // Sets the dialog up for the current file of the run (the dialog's
    // activation): instructions, caption, Insert state, bottom window.
    explicit EditSession(BatchRun& run);

    // The dialog's txbMetaTag: the new tag, which the user may edit. The
    // window writes it back before calling TagEdited or an action.
    std::string tagText;

    const std::string& File() const;  // the run's CurrentFile
    // The file's size for lblFile, through the run's file system; a size
    // that cannot be read counts as the largest one.
    long long FileSize() const;
    // lblEditMetaTag: the instructions.
    const std::string& Instructions() const { return instructions_; }
    // cmdInsert's caption: "Insert both meta tags", "Insert keywords meta
    // tag" or "Insert viewport meta tag".
    const std::string& InsertCaption() const { return insertCaption_; }
    bool InsertEnabled() const { return insertEnabled_; }
    // After an insertion the box is read-only.
    bool TagLocked() const { return tagLocked_; }
    // The bottom window (the main window's output box): the file's existing
    // tags, then what Insert2 made of them.
    std::string BottomText() const;
    // True once the dialog is to be hidden (the run then goes on).
    bool Hidden() const { return hidden_; }

    // A key release in the box: validates a viewport tag in it (may show
    // "Viewport meta tag is invalid." under "Invalid") and updates Insert.
    void TagEdited();
    // The Insert button ("Inserting ..." is the window's business around it).
    // Returns the code of Insert2.
    int16_t Insert();
    // Continue to next file.
    void ContinueToNextFile();
    // Continue automatically: may ask whether to insert this file first
    // (Yes/No/Cancel); on Cancel the dialog stays (Hidden() stays false).
    void ContinueAutomatically();
    // Cancel operation, also the dialog's close box: ends the run.
    void Cancel();

private:
    void Recompute();

    BatchRun& run_;
    std::string instructions_;
    std::string insertCaption_;
    std::string oldKWMT_;
    std::string newKWMT_;
    bool insertEnabled_ = true;
    bool heldAsUnchanged_ = false;  // Insert is off only because the tag equals the page's
    bool tagLocked_ = false;
    bool hidden_ = false;
};

}  // namespace zelk
