#include "shell/saved_queries.h"

#include "globals/globals.h"
#include "platform/files/paths.h"
#include "platform/text/text.h"
#include "platform/window/window.h"
#include "shell/data_dictionary.h"

namespace shell {

using namespace globals;

namespace {

abc::FileManager& Access() { return *Access_QMXSETUP; }

void OpenTable() {
  Access().Open();
  Access().UseFile(abc::UseType_Returns);
}

// The text of one field-list entry: six values without their trailing
// blanks, the position, each followed by "|", then "*".
void AppendEntryText(const FieldListRecord& r, std::string& out) {
  for (std::string_view v : {r.ALF_DAFIELD.view(), r.ALF_DATYPE.view(), r.ALF_DATE.view(), r.ALF_TIME.view(),
                             r.ALF_POSSIBLEDATE.view(), r.ALF_POSSIBLETIME.view()}) {
    out.append(text::clip(v));
    out.push_back('|');
  }
  out.append(text::int_text(r.ALF_DACOUNT));
  out.append("|*");
}

// A setting's text written into a BLOB: its characters up to the NUL, trailing
// blanks included.
void WriteTextBlob(int blob, std::string_view value) {
  Access().BlobSetSize(blob, 0);
  if (!value.empty()) Access().BlobWrite(blob, 0, value);
}

template <std::size_t N>
void ReadTextBlob(MainLocals& m, int blob, text::CString<N>& setting) {
  m.BlobSize = static_cast<std::int32_t>(Access().BlobSize(blob));
  if (m.BlobSize > 0) {
    setting = Access().BlobRead(blob, 0, m.BlobSize - 1);  // cut to N-1 characters
  } else {
    setting.clear();
  }
}

void SaveFieldsToBlob(MainLocals& m) {
  const std::size_t c = FieldListQueue.records();
  if (c == 0) return;
  Access().BlobSetSize(QMX_FIELDS, 0);
  std::int64_t position = 0;
  FieldListRecord entry;
  for (std::size_t i = 1; i <= c; ++i) {
    FieldListQueue.peek(i, entry);
    m.FieldsText.clear();
    AppendEntryText(entry, m.FieldsText);
    Access().BlobWrite(QMX_FIELDS, position, m.FieldsText);
    position += static_cast<std::int64_t>(m.FieldsText.size());
  }
}

void LoadQueryRecord(MainLocals& m) {
  QmxRecord QMX_ = QMX();
  GLO_QUERYNAME = QMX_.QUERYNAME.view();
  GLO_TPSPASSWORD = QMX_.TPSPASSWORD.view();
  GLO_INPUTTPSLOCATION = QMX_.INPUTTPSLOCATION.view();
  GLO_OUTPUTCSVLOCATION = QMX_.OUTPUTCSVLOCATION.view();
  GLO_DATESTAMPINEXPORT = QMX_.DATESTAMPINEXPORT;
  GLO_NULLEMPTYSTR = QMX_.NULLEMPTYSTR;
  GLO_FIELDSBYNAME = QMX_.FIELDSBYNAME;
  GLO_DATEFORMAT = QMX_.DATEFORMAT.view();
  GLO_DATETIMESEPARATOR = QMX_.DATETIMESEPARATOR.view();
  GLO_TIMEFORMAT = QMX_.TIMEFORMAT.view();
  GLO_NOPREVIEW = QMX_.NOPREVIEW;
  LastRecordCount = QMX_.RECORDS;
  ReadTextBlob(m, QMX_SELECT, GLO_SELECT);
  ReadTextBlob(m, QMX_WHERE, GLO_WHERE);
  m.BlobSize = static_cast<std::int32_t>(Access().BlobSize(QMX_FIELDS));
  if (m.BlobSize > 0) {
    m.FieldsText = Access().BlobRead(QMX_FIELDS, 0, m.BlobSize - 1);
    ParseFieldsText(m);
  }
}

}  // namespace

std::string FieldListText() {
  std::string out;
  FieldListRecord entry;
  for (std::size_t i = 1; i <= FieldListQueue.records(); ++i) {
    FieldListQueue.peek(i, entry);
    AppendEntryText(entry, out);
  }
  return out;
}

void SaveQuery(MainLocals& m) {
  if (m.FieldListPresent == 0) return;
  m.SavedSysId = 0;
  files::setpath(GLO_WorkingDir.view());
  OpenTable();
  QmxRecord QMX_ = QMX();
  m.QueryIsNew = 0;
  QMX_.QUERYNAME = GLO_QUERYNAME.view();
  if (Access().Fetch(QMX_ByQueryName) != abc::Level_Benign) m.QueryIsNew = 1;
  QMX_.TAG = 1;
  QMX_.QUERYNAME = GLO_QUERYNAME.view();
  QMX_.TPSPASSWORD = GLO_TPSPASSWORD.view();
  QMX_.INPUTTPSLOCATION = GLO_INPUTTPSLOCATION.view();
  QMX_.OUTPUTCSVLOCATION = GLO_OUTPUTCSVLOCATION.view();
  QMX_.DATESTAMPINEXPORT = GLO_DATESTAMPINEXPORT;
  QMX_.NULLEMPTYSTR = GLO_NULLEMPTYSTR;
  QMX_.FIELDSBYNAME = GLO_FIELDSBYNAME;
  QMX_.DATEFORMAT = GLO_DATEFORMAT.view();
  QMX_.DATETIMESEPARATOR = GLO_DATETIMESEPARATOR.view();
  QMX_.TIMEFORMAT = GLO_TIMEFORMAT.view();
  QMX_.NOPREVIEW = GLO_NOPREVIEW;
  QMX_.RECORDS = LastRecordCount;
  WriteTextBlob(QMX_SELECT, GLO_SELECT.view());
  WriteTextBlob(QMX_WHERE, GLO_WHERE.view());
  SaveFieldsToBlob(m);
  abc::BYTE written;
  if (m.QueryIsNew == 0) {
    written = Access().Update();
  } else {
    written = Access().PrimeRecord(true);
    if (written == abc::Level_Benign) written = Access().Insert();
  }
  // A query that was not stored must not take the tag from the others: its
  // primed number names no record, so the tag pass would clear every tag.
  if (written == abc::Level_Benign) {
    m.SavedSysId = QMX_.SYSID;
    m.QueryIsNew = 0;
    QMXSETUP->set();
    while (Access().Next() == abc::Level_Benign) {
      if (QMX_.SYSID != m.SavedSysId) {
        QMX_.TAG = 0;
        Access().Update();
      }
    }
  }
  Access().Close();
}

void LoadQueryByName(MainLocals& m) {
  m.LoadedByName = 0;
  if (text::blank(CmdQueryName.view())) return;
  files::setpath(GLO_WorkingDir.view());
  OpenTable();
  QMXSETUP->clear();
  QMX().QUERYNAME = CmdQueryName.view();
  if (Access().Fetch(QMX_ByQueryName) == abc::Level_Benign) {
    m.LoadedByName = 1;
    LoadQueryRecord(m);
  }
  Access().Close();
  window::display();
}

void LoadQueryBySysId(MainLocals& m) {
  if (m.PickedSysId == 0) return;
  files::setpath(GLO_WorkingDir.view());
  OpenTable();
  QMXSETUP->clear();
  QMX().SYSID = m.PickedSysId;
  if (Access().Fetch(QMX_BySysID) == abc::Level_Benign) LoadQueryRecord(m);
  Access().Close();
  window::display();
}

void LoadTaggedQuery(MainLocals& m) {
  files::setpath(GLO_WorkingDir.view());
  OpenTable();
  QMXSETUP->clear();
  QMX().TAG = 1;
  if (Access().Fetch(QMX_ByTag) == abc::Level_Benign) LoadQueryRecord(m);
  Access().Close();
}

void ParseFieldsText(MainLocals& m) {
  const std::string& t = m.FieldsText;
  if (t.empty()) return;
  FieldListQueue.free();
  // Positions are 1-based as in the runtime; 0 means "before the text".
  std::size_t separator = 0;
  std::size_t value_start = 1;
  std::size_t entry_mark = 1;
  const std::size_t n = t.size();
  for (;;) {
    const std::size_t star = t.find('*', entry_mark - 1);
    if (star == std::string::npos) break;
    entry_mark = star + 1;
    FieldListQueue.clear();
    FieldListRecord& r = FieldListQueue.buffer();
    for (int value = 1; value <= 7; ++value) {
      // A text this program did not write may lack a "|": the value then runs
      // to the end of the text and the values after it are empty.
      const std::size_t bar = separator < n ? t.find('|', separator) : std::string::npos;
      const std::size_t new_separator = bar == std::string::npos ? n + 1 : bar + 1;
      std::string_view v;
      if (value_start <= n && new_separator > value_start) {
        v = std::string_view(t).substr(value_start - 1, new_separator - value_start);
      }
      separator = new_separator;
      switch (value) {
        case 1: r.ALF_DAFIELD = v; break;
        case 2: r.ALF_DATYPE = v; break;
        case 3: r.ALF_DATE = v; break;
        case 4: r.ALF_TIME = v; break;
        case 5: r.ALF_POSSIBLEDATE = v; break;
        case 6: r.ALF_POSSIBLETIME = v; break;
        case 7:
          r.ALF_DACOUNT = text::to_long(v);
          ++separator;  // the "*" that ends the entry
          break;
      }
      value_start = separator + 1;
    }
    FieldListQueue.add();
    ++entry_mark;
  }
}

}  // namespace shell
