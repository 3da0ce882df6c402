// The texts every message and fixed caption is built from, in the chosen
// language. Each starts as its English default; loading a language replaces it.
// Leading and trailing blanks belong to the texts: messages are built by plain
// concatenation with file names and numbers.
#pragma once

#include <string>
#include <vector>

#include "base/product.h"

namespace pagemeld {

struct Catalogue {
    // Section "GENERAL": the language's code ("de", "fr"), which picks Qt's translations
    // of the standard buttons and dialogs.
    std::string Locale = "en";
    // Section "MAIN": the tab captions.
    std::string tabsplit = "Split";
    std::string tabmerge = "Merge";
    std::string tabmix = "Mix";
    std::string tababout = "About";
    std::string tabextras = "Extras...";
    // Section "OTHER".
    std::string GridFilename = "File name";
    std::string GridPath = "Path";
    std::string GridPages = "Pages";
    std::string GridPassword = "Password";
    std::string SaveDialogTitle = "Save output PDF file";
    std::string MsgOutputFileExists =
        "Output file aleady exists. Please select another file or check the 'Overwrite file if "
        "exists' option";
    std::string MsgOutputFileInvalidChar = "Output filename contains invalid characters!";
    std::string MsgErrAdd2files = "Please add at least 2 PDF files to merge!";
    std::string MsgErrDecryptAddPassw =
        " cannot be decrypted. Please add a password. PDF will be skipped.";
    std::string MsgErrDecryptWrPassw = " is incorect. PDF will be skipped.";
    std::string MsgErrDecrypt = " cannot be decrypted. PDF will be skiped.";
    std::string MsgErrMerge = " cannot be merged. It will be skipped!";
    std::string MsgMergeDone = "Merge process done!";
    std::string MsgErrMixAdd2files = "Please add at 2 PDF files to mix!";
    std::string MsgErrMixAboveMax1 = "Mix process done! Pages with pagenumber above ";
    std::string MsgErrMixAboveMax2 = " were ignored because it exceeds document total page number!";
    std::string MsgSplitAddFile = "Choose a PDF file to split it!";
    std::string MsgMixDone = "Mix process done!";
    std::string MsgSelectDestFolder = "Please select a destination folder!";
    std::string MsgErrSplitAboveMax1 = "Split process done! Pages with pagenumber above ";
    std::string MsgErrSplitAboveMax2 =
        " were ignored because it exceeds document total page number!";
    std::string MsgSplitDone = "Split process done!";
    std::string MsgErrSplitNumberField = "Please type a whole number of at least 1 in the field:";
    std::string MsgErrSplitRange =
        "Please type the page ranges to split, for example: 1-4,6,9-10;5,6;12;";
    std::string MsgErrSplitRangeItem =
        "This part of the page ranges is not understood. Type page numbers from 1, or two "
        "joined by - (for example 4-9):";
    std::string MsgErrSplitNothingWritten =
        "No file was written: none of the chosen pages lies within this document. Pages in the "
        "document:";
    std::string MsgErrSplitSave =
        "This output file could not be written. The split process was stopped:";
    std::string MsgErrSplitOverSource =
        "This output file would replace the PDF being split. Please choose another base filename "
        "or destination folder:";
    // Splitting at bookmarks and into pieces of at most a size: text + the level; text +
    // the count of bookmarks left out; text + the pages, each written alone; the quiet
    // split's switches given without a number.
    std::string MsgErrSplitNoBookmarks =
        "No file was written: this PDF has no bookmarks that lead to its pages at level";
    std::string MsgSplitBookmarksSkipped =
        "Split process done! Bookmarks that lead to no page of this document were skipped:";
    std::string MsgSplitOversizePages =
        "Split process done! These pages are larger than the size limit by themselves and were "
        "each written as a file of their own: page";
    std::string MsgErrCLSplitSwitch =
        "Invalid command line arguments: --bookmarks takes a level and --max-size a number of "
        "megabytes, each a whole number of at least 1, and a split takes only one of them.";
    std::string MsgErrCL =
        "Invalid command line arguments. Check online support page to learn how to use command "
        "line!";
    std::string MsgErrCL2 =
        "Invalid command line arguments: input file for split does not exist! Check online "
        "support page to learn how to use command line!";
    std::string MsgErrCL3 =
        "Invalid command line arguments: input file for merge does not exist! Check online "
        "support page to learn how to use command line!";
    std::string MsgErrCL4 =
        "Invalid command line arguments: output file for merge does not exist! Check online "
        "support page to learn how to use command line!";
    // A quiet request names more files than one request takes: text 1 + the most + text 2.
    std::string MsgErrCLMaxFiles1 = "Invalid command line arguments: one request takes at most";
    std::string MsgErrCLMaxFiles2 = "file names.";
    // Quiet requests at scale: a list of names that cannot be read (+ its name), the
    // words after a terminal's count of files done, a pipe closed before the merge
    // sent to standard output had gone through.
    std::string MsgErrListFile =
        "Invalid command line arguments: this list of file names cannot be read:";
    std::string MsgProgressFiles = "files done";
    std::string MsgErrStandardOutput =
        "The merged file could not be written whole to standard output (a closed pipe or a "
        "full disk).";
    // A quiet split left out the pages after the most it writes of a file:
    // text 1 + the last page written + text 2 + the file.
    std::string MsgErrQuietSplitMax1 = "Pages after page";
    std::string MsgErrQuietSplitMax2 =
        "were left out: a quiet split writes at most that many pages of each file. File:";
    std::string MsgErrPageNo = "This PDF file could not be opened. Error code:";
    std::string MsgErrPageNo2 =
        std::string("This file is a PDF version 1.5 . It cannot be processed by ") + kProductName;
    // Why a file added to a list could not be read, and what its row then shows.
    std::string MsgErrFileDamaged = "This PDF file is damaged and cannot be read whole:";
    std::string MsgErrFileNotPdf = "This file is not a PDF, although its name ends in pdf:";
    std::string MsgErrFileUnreadable =
        "This file cannot be read (it is missing, or access to it is denied):";
    std::string MsgPagesGuessed =
        "It stays in the list, but its page count is only a guess, marked with a question mark.";
    std::string MsgErrMergeOnlyPDF1 = "Please add only PDF files. File:";
    std::string MsgErrMergeOnlyPDF2 = "- doesn't look to be a PDF.";
    std::string MsgErrMergeMax1 = "You are allowed to merge only ";
    std::string MsgErrMergeMax2 = "documents at once!. File ";
    std::string MsgErrMergeMax3 = "was not loaded.";
    std::string MsgEnterPassw = "Enter the password for this PDF file:";
    std::string MsgErrMixOnly21 = "Only 2 files can be used at once during the mix process.";
    std::string MsgErrMixOnly22 = "- Will be ignored.";
    std::string MsgErrMixNumberField = "Please type a whole number of at least 1 in the field:";
    std::string MsgErrMixStartBeyond = "The start page lies beyond the last page of this document:";
    std::string MsgErrMixSave =
        "This output file could not be written. The mix process was stopped:";
    std::string MsgErrMergeSave =
        "This output file could not be written. The merge process was stopped:";
    // Why an output could not be written, shown below the message that names it.
    std::string MsgWhyDiskFull = "There is not enough free space on the disk.";
    std::string MsgWhyDenied =
        "Writing there is not allowed: the folder, the file or the disk is read-only.";
    std::string MsgWhyNoFolder = "The folder does not exist.";
    std::string MsgWhyBadName =
        "This file name cannot be used there: it is too long or holds characters the disk does "
        "not accept.";
    std::string MsgMergeWrittenTo = "The other files were merged into:";
    // Asked before a split or mix run writes over files of the same names.
    std::string MsgReplaceOutputs1 =
        "Files of the same names already exist in the destination folder and would be "
        "replaced:";
    std::string MsgReplaceOutputs2 = "Replace them?";
    // The line under the program's name on the window's banner.
    std::string BannerSubtitle = "Split, merge and mix PDF documents";
    std::string MsgUpdateNoConnection = "Unable to connect to the Internet and search for updates!";
    std::string MsgNewVersion1 = "There is a new version available: v";
    std::string MsgNewVersion2 = ". Would you like to download it?";
    std::string MsgNewVersion3 = "Press Cancel to deactivate update check.";
    // A run stopped with Cancel, and closing the window while one goes on.
    std::string MsgRunCancelled = "The run was stopped. Files written:";
    std::string MsgMergeCancelled = "The merge was stopped. No output file was written.";
    std::string MsgCloseDuringRun =
        "A run is still going. Stop it after the current file and close the window?";
    // The pages of each file a merge takes.
    std::string GridChosenPages = "Use pages";
    std::string MsgEnterPageChoice =
        "Pages of this file to merge, for example 1-4,6 or 8- (empty for every page):";
    std::string MsgErrPageChoice = "These pages cannot be read:";
};

// One catalogue text: its section and key in a language file and where it lives.
struct CatalogueEntry {
    const char* section;
    const char* key;
    std::string Catalogue::*text;
};

// Every text, in the order a language file is read: "GENERAL", "MAIN", then "OTHER".
const std::vector<CatalogueEntry>& catalogueEntries();

}  // namespace pagemeld
