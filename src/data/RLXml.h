// Reading and writing of XML table files: a "replist" element of kind "RLTable" holding the size,
// names, common header and cells of one report table, one element per line, 8-bit text.
#pragma once

#include <QString>
#include <string>
#include <string_view>

class QIODevice;

namespace kv58 {

class TRLData;

// Finds the first line holding "<replist" and "rltable" (in any case) whose id attribute equals
// `dataId` (any case; any id when `dataId` is empty), then reads the elements after it into
// `store` until "</replist>". True only when "</replist>" was reached. Nothing changes when no
// such line exists; otherwise what was read before a fault stays. Never throws; a file that
// cannot be opened, is not a regular file, or fails while being read gives false.
bool rlLoadXmlFile(TRLData& store, const QString& fileName, const QString& dataId);
bool rlLoadXml(TRLData& store, QIODevice& in, const QString& dataId);
bool rlLoadXmlBytes(TRLData& store, std::string_view bytes, const QString& dataId);

// The file text of `store`: declaration, empty line, comment, the "replist" start tag with the
// store's identifier, then comment, numcols, numrows, commonheader, colname per column,
// columnformat per non-empty format, checkedcolumn per check-box column and cell per non-empty
// or checked cell (row by row, columns 0 to NrOfColumns), and "</replist>"; lines end in CR LF.
std::string rlXmlText(const TRLData& store);
// Writes rlXmlText to `fileName`, replacing the file only once all of it is written.
bool rlSaveXmlFile(const TRLData& store, const QString& fileName);

} // namespace kv58
