// Copying one file of the package under its overwrite policy, the dates the
// overwrite question shows, removing old copies of a file from a tree, which
// directories may be a host's, and the engine's Yes/No question.
#pragma once
#include <cstddef>

#include "../platform/fs.h"
#include "../script/model.h"

enum {
    engineTextSize = 4096,  // composed messages, error and report texts
    dateTextSize = 256      // the date text of the overwrite question
};

// Copies the file called name from sourceDir to destDir (both prefixes ending
// in their own separator) under the overwrite keyword (a FileKeyword). True
// when copied or, by the policy, left alone. A source or destination path that
// does not fit in MAX_PATH (259 characters) is refused: the copy fails. The
// overwrite question is composed in 4096 bytes and cut to fit. A destDir that
// is not a host directory by its text and by where it leads
// (leadsToHostDirectory), and a name that would leave it (isContainedName),
// fail the copy.
bool copyWithPolicy(const char* name, const char* sourceDir, const char* destDir, int overwriteKeyword,
                    const Variant& variant);
// Deletes every file called name (ASCII case ignored) in the tree under
// directory (ending in a separator). Only plain directories (attributes
// exactly FILE_ATTRIBUTE_DIRECTORY) are walked into: no link, junction or
// mount point. An entry whose path does
// not fit in MAX_PATH cannot be named: a wanted file makes the walk fail as an
// undeletable one does, anything else is passed over.
// A directory that is a root, leads to one or cannot be resolved is refused:
// the walk would sweep a whole drive.
bool removeMatchingFiles(const char* name, const char* directory);
// A Yes/No question captioned with the Variant's title; No is the default button unless defaultYes. Returns
// answerYes or answerNo.
int askYesNo(const char* text, bool defaultYes, const Variant* variant);
// The local last-write time of a file; false when it cannot be opened or a
// conversion fails.
bool readFileDate(const char* path, SystemTime* date);
// First minus second by year, month, day, hour, minute: the first difference.
int compareFileDates(const SystemTime& first, const SystemTime& second);
// "March 05, 2005, 14:07" into text (size bytes).
void formatFileDate(char* text, size_t size, const SystemTime& date);
// The English month name, some with a trailing blank; "" outside 1..12.
const char* monthName(int month);
