#pragma once

// The line labels that an "Application Error" report of a generation run or of its picture
// export names, so that a screenshot tells support which statement failed. They rise by 2 in the
// order the statements stand in the procedure, not in the order they run. A statement without a
// label of its own reports the label before it.

namespace run_labels {

constexpr int kBusyTest = 100;
constexpr int kSetBusy = 102;
constexpr int kHourglassOn = 104;
constexpr int kLoadTemplate = 106;
constexpr int kWriteTemplate = 108;
constexpr int kStartOffice = 110;
constexpr int kTemplatePath = 112;
constexpr int kOpenTemplate = 114;

// The statements of one find-and-replace pass, each with its label, in the order they run.
struct ReplacePass
{
    int clearFind;
    int clearReplacement;
    int takeFind;
    int searchText;
    int replacementText; // the first of the replacement's labels
    int forward;
    int wrap;
    int format;
    int matchCase;
    int matchWholeWord;
    int matchWildcards;
    int matchSoundsLike;
    int matchAllWordForms;
    int execute;
};

// A pass whose labels start at `first`, with `replacementLabels` labels for its replacement.
constexpr ReplacePass replacePassFrom(int first, int replacementLabels = 1)
{
    const int settings = first + 8 + 2 * replacementLabels;
    return {first,         first + 2,     first + 4,     first + 6,    first + 8,
            settings,      settings + 2,  settings + 4,  settings + 6, settings + 8,
            settings + 10, settings + 12, settings + 14, settings + 16};
}

// A pass of statements that have no label of their own: all report the label before them.
constexpr ReplacePass unlabelledPass(int before)
{
    return {before, before, before, before, before, before, before,
            before, before, before, before, before, before, before};
}

// The six passes that put the fields in place of the template's sample wording, pass 1 to 6.
constexpr ReplacePass wordingPass(int pass)
{
    return replacePassFrom(116 + 28 * (pass - 1));
}

// Pass 7, the donation suffix: its replacement is a test of the field and one of two texts.
constexpr ReplacePass kDonationPass = replacePassFrom(284, 3);
constexpr int kDonationTest = kDonationPass.replacementText;
constexpr int kNoDonation = 294;
constexpr int kDonation = 296;

constexpr int kTicketCount = 316;
constexpr int kSelectAll = 318;
constexpr int kCopyPage = 320;
constexpr int kLetEventsRun = 324;
constexpr int kProgressValue = 326;
constexpr int kProgressText = 328;
constexpr int kEndBeforePaste = 330;
constexpr int kPaste = 332;
constexpr int kBackspace = 334;
constexpr int kEndAfterPaste = 336;
constexpr int kPreviousPage = 338;
constexpr int kNextPage = 340;
// One pass per ticket number of a pasted page.
constexpr ReplacePass kNumberingPass = replacePassFrom(344);
constexpr int kProgressTextReset = 376;
constexpr int kProgressValueReset = 378;

constexpr int kNameAttempt = 382;
// The draw of the eight digits (386 to 392 in the label table) reports this label too.
constexpr int kDrawName = 384;
constexpr int kResultPath = 394;
constexpr int kNameTaken = 396;
constexpr int kSaveAndCheck = 398;
constexpr int kDisplayAlerts = 400;
constexpr int kCloseDocument = 402;
constexpr int kQuitOffice = 404;
constexpr int kReleaseDocument = 406;
constexpr int kReleaseOffice = 408;
constexpr int kDeleteTemplate = 410;
constexpr int kMakePicture = 412;
constexpr int kHourglassOff = 414;
constexpr int kLoadPreview = 416;
constexpr int kPreviewPicture = 418;
constexpr int kPreviewDocument = 420;
constexpr int kShowPreview = 422;
constexpr int kClearBusy = 426;

static_assert(wordingPass(1).execute == 142 && wordingPass(6).execute == 282);
static_assert(kDonationPass.replacementText == 292 && kDonationPass.forward == 298 &&
              kDonationPass.execute == 314);
static_assert(kNumberingPass.searchText == 350 && kNumberingPass.execute == 370);

} // namespace run_labels

// The picture export of the saved document.
namespace picture_labels {

constexpr int kStartOffice = 116;
constexpr int kOpenDocument = 118;
constexpr int kTakePicture = 120;
constexpr int kCheckPicture = 122;
constexpr int kCloseDocument = 124;
constexpr int kQuitOffice = 126;

} // namespace picture_labels
