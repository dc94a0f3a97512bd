#include "batch/EditSession.h"

#include "analysis/AnalysisHost.h"
#include "batch/BatchRun.h"
#include "common/ReportLog.h"
#include "common/Settings.h"
#include "common/StrProc.h"
#include "insertion/Insert.h"
#include "insertion/Viewport.h"

namespace zelk {

namespace {
const std::string kCrLf(CRLF);
}  // namespace

EditSession::EditSession(BatchRun& run) : run_(run) {
    const Settings& st = run_.settings();
    const bool kw = st.InsertKWMT == 1, vp = st.InsertVPMT == 1;
    tagText = run_.DialogTagText;
    if (kw) {
        if (run_.NumberOfWords == 0) run_.report().ReportLine("No keywords", true);
        instructions_ = "The existing keywords meta tag (if any) is shown in the bottom window." +
                        kCrLf + "You can edit the new meta tag in the top window before insertion.";
    } else {
        instructions_ = "You can edit the viewport meta tag before insertion.";
    }
    run_.StopFlag = false;
    insertCaption_ = kw && vp ? "Insert both meta tags"
                     : kw     ? "Insert keywords meta tag"
                              : "Insert viewport meta tag";
    Recompute();
    if (kw) {
        if (!oldKWMT_.empty() && oldKWMT_ == newKWMT_ && InStr(oldKWMT_, "content=\"\"") > 0)
            run_.host().SetOutputText("");
    } else {
        run_.host().SetOutputText("");
    }
    insertEnabled_ = InStr(LowerCaseAccented(newKWMT_), "<meta") > 0 || vp;
    heldAsUnchanged_ = false;
}

const std::string& EditSession::File() const { return run_.CurrentFile; }

long long EditSession::FileSize() const {
    FileIdentity id;
    if (run_.fileSystem().Identify(run_.CurrentFile, id) && id.kind == EntryKind::File &&
        id.size > 0)
        return id.size;
    return 2147483647;
}

std::string EditSession::BottomText() const { return run_.host().OutputText(); }

void EditSession::Recompute() {
    oldKWMT_ = MetaTagFromTextbox(run_.host().OutputText());
    newKWMT_ = MetaTagFromTextbox(tagText);
}

void EditSession::TagEdited() {
    const Settings& st = run_.settings();
    bool viewportRefused = false;
    if (st.InsertVPMT == 1) {
        long s = 0, e = 0;
        FindViewportMetaTag(tagText, s, e);
        bool invalid = false;
        if (s > 0 && e > 0) {
            // Exactly the tag is checked, and nothing may follow it: the
            // insertion writes the whole box into the page.
            std::string tag = Mid(tagText, s, e - s + 1);
            int16_t validity = 0;
            VPMTvalid(tag, validity);
            invalid = validity != 1 || !Trim(Mid(tagText, e + 1)).empty();
        } else if (InStr(tagText, "viewport") > 0) {
            invalid = true;
        }
        viewportRefused = invalid;
        if (invalid) {
            run_.user().prompter().Message("Viewport meta tag is invalid.", "Invalid",
                                           Icon::Exclamation);
            insertEnabled_ = false;
        } else if (s > 0 && e > 0) {
            insertEnabled_ = true;
        }
    }
    Recompute();
    // Inserting the tag the page already has is pointless, so Insert is held
    // while the box matches it. Typed away from it again, the tag is new and
    // Insert comes back (unless the viewport check just refused the box):
    // otherwise one keystroke through the old text would leave the edited
    // tag with no way in.
    const bool unchanged = st.InsertKWMT == 1 && newKWMT_ == oldKWMT_;
    if (insertEnabled_ && unchanged) {
        insertEnabled_ = false;
        heldAsUnchanged_ = true;
    } else if (heldAsUnchanged_ && !unchanged) {
        heldAsUnchanged_ = false;
        insertEnabled_ = !viewportRefused;
    }
}

int16_t EditSession::Insert() {
    const Settings& st = run_.settings();
    if (st.InsertKWMT == 1 && st.InsertVPMT == 1) {
        std::string vp = st.VPMT;
        int16_t validity = 0;
        VPMTvalid(vp, validity);
        if (validity == -1)
            run_.user().prompter().Message("Viewport meta tag is invalid.", "Invalid entry",
                                           Icon::Exclamation);
    }
    run_.DialogTagText = tagText;
    const int16_t code = run_.Insert2();
    insertEnabled_ = false;
    heldAsUnchanged_ = false;
    tagLocked_ = true;
    return code;
}

void EditSession::ContinueToNextFile() {
    if (insertEnabled_) {
        run_.report().LastInsertedTag.clear();
        run_.report().ReportLine("Skipped", true);
    }
    hidden_ = true;
    run_.HideReportButtons();
}

void EditSession::ContinueAutomatically() {
    if (insertEnabled_) {
        std::string caption = LowerCaseAccented(insertCaption_);
        const Answer a = run_.user().prompter().Ask(
            "Do you wish to " + caption + "?",
            "Continue automatically (no inspection of meta tag)", Icon::None,
            Buttons::YesNoCancel);
        if (a == Answer::Cancel) return;
        if (a == Answer::Yes) {
            Insert();
            return;
        }
        run_.report().LastInsertedTag.clear();
        run_.report().ReportLine("Skipped", true);
    }
    run_.blnAutomaticInsertion = true;
    run_.user().SetInsertButtonForRun(true, run_.BreakStopCaption());
    run_.settings().Confirm = 0;
    hidden_ = true;
    run_.ShowAutomaticReportButtons();
    run_.user().RefreshReport();
    run_.user().Wait(250);
}

void EditSession::Cancel() {
    run_.StopFlag = true;
    hidden_ = true;
    run_.ShowIdleReportButtons();
    run_.user().RefreshReport();
    run_.user().Wait(500);
}

}  // namespace zelk
