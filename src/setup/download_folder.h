#pragma once
// The folder that both downloads of the chain need before they start.
#include "setup/session.h"

// Makes the download folder unless it is there already. Raises Error naming the folder
// and giving the system's reason when it can be neither made nor found: a download into
// a missing folder could only fail later, with a less telling text.
void EnsureDownloadFolder(Form1& form);
