// The export engine's own program-wide state: the texts a value leaves behind
// for the preview and the WHERE copy, the date and time judgements on it, the
// names of the input table and the output file, and the file declarations that
// read those names (they live here, beside their name variables, since the
// shell reaches the engine and not the other way round). They outlive one export
// run (the shell reads OutputFileName; OutputDir/OutputBaseName carry over to
// the next run). reset() restores their start values and the globals' too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/files/ascii_file.h"
#include "platform/files/dos_file.h"
#include "platform/text/text.h"
#include "platform/tps/declaration.h"

namespace engine {

// Set for every column of a line: the display text (before CSV quote doubling)
// and the unformatted text that goes into the WHERE copy.
extern std::string CurrentValueText;
extern std::string CurrentRawValue;
// -1 the field is a DATE (TIME); 1 the value cannot be a date (time); 0 it could be.
extern std::int32_t NotDateFlag;
extern std::int32_t NotTimeFlag;
// The per-record copy of GLO_WHERE in which labels are replaced by values.
extern std::string WhereWork;

extern text::CString<30> DateStamp;        // suffix before ".CSV"; empty for none
extern text::CString<256> OutputDir;       // directory of the output location, no last "\"
extern text::CString<50> OutputBaseName;   // file part of the output location, cut before ".CSV"
extern text::CString<256> InputFileName;   // name variable of TESTANY
extern text::CString<256> OutputFileName;  // name variable of DOSOUT: the CSV last written
extern std::int32_t TotalRecords;          // record count of the table of the last export

// OUTPUT: a text-file declaration on GLO_OUTPUTCSVLOCATION that nothing
// opens; its record (OTP_LINE, 65520 bytes) is the storage TESTANY reads into.
extern files::AsciiFile OUTPUT;
// DOSOUT: the CSV output file, named by OutputFileName; its record DOS_LINE
// (64000 bytes) is the transfer buffer of every write.
extern files::DosFile DOSOUT;

// TESTANY: the input table, a TopSpeed declaration without fields, named by
// InputFileName with the owner password GLO_TPSPASSWORD (both read at every
// open). Its record lies over the record storage of OUTPUT: each record read
// lands there from its first byte on.
extern tps::Declaration TESTANY;
inline constexpr std::size_t TESTANY_RECORD_SIZE = tps::Declaration::kRecordStorage;
static_assert(TESTANY_RECORD_SIZE == files::AsciiFile::kRecordSize);
extern char* const TESTANY_RECORD;

// Restores the start values of this header (closing TESTANY and DOSOUT when
// a test left them open) and calls globals::reset().
void reset();

}  // namespace engine
