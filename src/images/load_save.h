// The window's file commands around the memory images.
#pragma once

#include "core/station.h"

namespace dravon {

// Load (clearing the images first).
void FileOpenBtnClick(Station& station);
// Load more: adds a file to what is loaded.
void SpdBtnLoadMoreClick(Station& station);
// Loads a data-flash file.
void LoadEepDataFile1Click(Station& station);
// Saves main flash as BIN, HEX or S-record by the chosen filter.
void FileSaveBtnClick(Station& station);
// Saves the data flash as raw bytes.
void SaveEepDatatoFile1Click(Station& station);

}  // namespace dravon
