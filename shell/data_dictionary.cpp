#include "shell/data_dictionary.h"

#include "engine/engine_state.h"
#include "globals/globals.h"
#include "globals/services.h"
#include "platform/tps/format.h"

namespace shell {

namespace fmt = tps::format;

// ---- the saved-query table's layout -------------------------------------------------

tps::TableDef QmxTableDef(std::string_view prefix) {
  const std::string p = std::string(prefix) + ":";
  tps::TableDef def;
  std::uint16_t offset = 0;
  auto field = [&](const char* label, std::uint8_t type, std::uint16_t length) {
    tps::FieldDef f;
    f.type = type;
    f.offset = offset;
    f.name = p + label;
    f.length = length;
    f.number = static_cast<std::uint16_t>(def.fields.size());
    if (type == fmt::kTypeCString) f.string_length = length;
    def.fields.push_back(std::move(f));
    offset = static_cast<std::uint16_t>(offset + length);
  };
  field("SYSID", fmt::kTypeLong, 4);
  field("TAG", fmt::kTypeByte, 1);
  field("QUERYNAME", fmt::kTypeCString, 100);
  field("TPSPASSWORD", fmt::kTypeCString, 100);
  field("INPUTTPSLOCATION", fmt::kTypeCString, 256);
  field("OUTPUTCSVLOCATION", fmt::kTypeCString, 256);
  field("DATESTAMPINEXPORT", fmt::kTypeByte, 1);
  field("NULLEMPTYSTR", fmt::kTypeByte, 1);
  field("FIELDSBYNAME", fmt::kTypeByte, 1);
  field("DATEFORMAT", fmt::kTypeCString, 14);
  field("DATETIMESEPARATOR", fmt::kTypeCString, 10);
  field("TIMEFORMAT", fmt::kTypeCString, 14);
  field("NOPREVIEW", fmt::kTypeByte, 1);
  field("RECORDS", fmt::kTypeLong, 4);
  def.record_length = offset;
  for (const char* blob : {"SELECT", "WHERE", "FIELDS"}) {
    tps::MemoDef m;
    m.name = p + blob;
    m.flags = fmt::kMemoFlagBlob | fmt::kMemoFlagBinary;
    def.memos.push_back(std::move(m));
  }
  auto key = [&](const char* label, std::uint16_t field_number, std::uint8_t flags) {
    tps::KeyDef k;
    k.name = p + label;
    k.flags = flags;
    k.components.push_back({field_number, 0});
    def.keys.push_back(std::move(k));
  };
  key("BYSYSID", 0, fmt::kKeyPrimary | fmt::kKeyOpt | fmt::kKeyNocase);
  key("BYQUERYNAME", 2, fmt::kKeyNocase);
  key("BYTAG", 1, fmt::kKeyDup | fmt::kKeyOpt | fmt::kKeyNocase);
  return def;
}

runtime::Threaded<abc::KeyedFile> QMXSETUP(
    [] { return std::make_unique<abc::KeyedFile>("QMXSETUP", "QMXSETUP.TPS", QmxTableDef("QMX")); });
runtime::Threaded<abc::KeyedFile> QMXSETUPAlias(
    [] { return std::make_unique<abc::KeyedFile>("QMXSETUPAlias", "QMXSETUP.TPS", QmxTableDef("QMX2")); });

QmxRecord QMX() { return QmxRecord(QMXSETUP->buffer()); }
QmxRecord QMX2() { return QmxRecord(QMXSETUPAlias->buffer()); }

// ---- the thread's managers -------------------------------------------------------------

thread_local abc::FileManager* Access_QMXSETUPAlias = nullptr;
thread_local abc::FileManager* Access_QMXSETUP = nullptr;
thread_local abc::FileManager* Access_DOSOUT = nullptr;
thread_local abc::FileManager* Access_TESTANY = nullptr;
thread_local abc::FileManager* Access_OUTPUT = nullptr;
thread_local abc::RelationManager* Relate_QMXSETUPAlias = nullptr;
thread_local abc::RelationManager* Relate_QMXSETUP = nullptr;
thread_local abc::RelationManager* Relate_DOSOUT = nullptr;
thread_local abc::RelationManager* Relate_TESTANY = nullptr;
thread_local abc::RelationManager* Relate_OUTPUT = nullptr;

namespace {

// The hidden pointers: the objects the dictionary owns.
thread_local QMXSETUPAliasFileManager* Hide_Access_QMXSETUPAlias = nullptr;
thread_local QMXSETUPFileManager* Hide_Access_QMXSETUP = nullptr;
thread_local DOSOUTFileManager* Hide_Access_DOSOUT = nullptr;
thread_local TESTANYFileManager* Hide_Access_TESTANY = nullptr;
thread_local OUTPUTFileManager* Hide_Access_OUTPUT = nullptr;
thread_local QMXSETUPAliasRelationManager* Hide_Relate_QMXSETUPAlias = nullptr;
thread_local QMXSETUPRelationManager* Hide_Relate_QMXSETUP = nullptr;
thread_local DOSOUTRelationManager* Hide_Relate_DOSOUT = nullptr;
thread_local TESTANYRelationManager* Hide_Relate_TESTANY = nullptr;
thread_local OUTPUTRelationManager* Hide_Relate_OUTPUT = nullptr;

}  // namespace

void DictionaryFileManager::Init() {
  Initialized = 0;
  switch (which_) {
    case Which::QMXSETUPAlias:
      Buffer = QMXSETUPAlias->buffer().data();
      BufferSize = QMXSETUP_RECORD_SIZE;
      AliasedFile = Access_QMXSETUP;
      FileNameValue = "QMXSETUPAlias";
      File = &*QMXSETUPAlias;
      break;
    case Which::QMXSETUP:
      Buffer = QMXSETUP->buffer().data();
      BufferSize = QMXSETUP_RECORD_SIZE;
      FileNameValue = "QMXSETUP";
      File = &*QMXSETUP;
      break;
    case Which::DOSOUT:
      Buffer = engine::DOSOUT.record();
      BufferSize = files::DosFile::kRecordSize;
      FileNameValue = "DOSOUT";
      FileName = [] { return engine::OutputFileName.str(); };
      break;
    case Which::TESTANY:
      Buffer = nullptr;
      BufferSize = 0;
      FileNameValue = "TESTANY";
      FileName = [] { return engine::InputFileName.str(); };
      break;
    case Which::OUTPUT:
      Buffer = engine::OUTPUT.record();
      BufferSize = files::AsciiFile::kRecordSize;
      FileNameValue = "OUTPUT";
      FileName = [] { return globals::GLO_OUTPUTCSVLOCATION.str(); };
      break;
  }
  SetErrors(globals::GlobalErrorManager);
  abc::FileManager::Init();
  switch (which_) {
    case Which::QMXSETUPAlias: Access_QMXSETUPAlias = this; break;
    case Which::QMXSETUP: Access_QMXSETUP = this; break;
    case Which::DOSOUT: Access_DOSOUT = this; break;
    case Which::TESTANY: Access_TESTANY = this; break;
    case Which::OUTPUT: Access_OUTPUT = this; break;
  }
}

abc::BYTE DictionaryFileManager::UseFile(abc::BYTE mode) {
  if (mode != abc::UseType_Initialize) UseFile(abc::UseType_Initialize);
  if (mode == abc::UseType_Initialize && Initialized == 0) {
    InUseFile = 1;
    switch (which_) {
      case Which::QMXSETUPAlias: InitFile(*QMXSETUPAlias, globals::GlobalErrorManager); break;
      case Which::QMXSETUP: InitFile(*QMXSETUP, globals::GlobalErrorManager); break;
      case Which::DOSOUT: InitFile(engine::OutputFileName.view(), globals::GlobalErrorManager); break;
      case Which::TESTANY: InitFile(engine::InputFileName.view(), globals::GlobalErrorManager); break;
      case Which::OUTPUT: InitFile(globals::GLO_OUTPUTCSVLOCATION.view(), globals::GlobalErrorManager); break;
    }
    Create = which_ == Which::TESTANY ? 0 : 1;
    LockRecover = 10;
    if (which_ == Which::QMXSETUP) {
      AddKey(QMX_BySysID, "QMX:BySysID", true);
      AddKey(QMX_ByQueryName, "QMX:ByQueryName");
      AddKey(QMX_ByTag, "QMX:ByTag");
    } else if (which_ == Which::QMXSETUPAlias) {
      AddKey(QMX_BySysID, "QMX2:BySysID", true);
      AddKey(QMX_ByQueryName, "QMX2:ByQueryName");
      AddKey(QMX_ByTag, "QMX2:ByTag");
    }
  }
  return abc::FileManager::UseFile(mode);
}

void DictionaryFileManager::Kill() {
  abc::FileManager::Kill();
  switch (which_) {
    case Which::QMXSETUPAlias: Access_QMXSETUPAlias = nullptr; break;
    case Which::QMXSETUP: Access_QMXSETUP = nullptr; break;
    case Which::DOSOUT: Access_DOSOUT = nullptr; break;
    case Which::TESTANY: Access_TESTANY = nullptr; break;
    case Which::OUTPUT: Access_OUTPUT = nullptr; break;
  }
}

void DictionaryRelationManager::Kill() {
  switch (which_) {
    case Which::QMXSETUPAlias:
      if (Hide_Access_QMXSETUPAlias) Hide_Access_QMXSETUPAlias->Kill();
      break;
    case Which::QMXSETUP:
      if (Hide_Access_QMXSETUP) Hide_Access_QMXSETUP->Kill();
      break;
    case Which::DOSOUT:
      if (Hide_Access_DOSOUT) Hide_Access_DOSOUT->Kill();
      break;
    case Which::TESTANY:
      if (Hide_Access_TESTANY) Hide_Access_TESTANY->Kill();
      break;
    case Which::OUTPUT:
      if (Hide_Access_OUTPUT) Hide_Access_OUTPUT->Kill();
      break;
  }
  abc::RelationManager::Kill();
  switch (which_) {
    case Which::QMXSETUPAlias:
      Relate_QMXSETUPAlias = nullptr;
      delete Hide_Access_QMXSETUPAlias;
      Hide_Access_QMXSETUPAlias = nullptr;
      break;
    case Which::QMXSETUP:
      Relate_QMXSETUP = nullptr;
      delete Hide_Access_QMXSETUP;
      Hide_Access_QMXSETUP = nullptr;
      break;
    case Which::DOSOUT:
      Relate_DOSOUT = nullptr;
      delete Hide_Access_DOSOUT;
      Hide_Access_DOSOUT = nullptr;
      break;
    case Which::TESTANY:
      Relate_TESTANY = nullptr;
      delete Hide_Access_TESTANY;
      Hide_Access_TESTANY = nullptr;
      break;
    case Which::OUTPUT:
      Relate_OUTPUT = nullptr;
      delete Hide_Access_OUTPUT;
      Hide_Access_OUTPUT = nullptr;
      break;
  }
}

void QMXSETUPAliasRelationManager::InitRelationQMXSETUPAlias() {
  Hide_Access_QMXSETUPAlias->Init();
  abc::RelationManager::Init(*Access_QMXSETUPAlias, 1);
  SetAlias(*Relate_QMXSETUP);
}
void QMXSETUPRelationManager::InitRelationQMXSETUP() {
  Hide_Access_QMXSETUP->Init();
  abc::RelationManager::Init(*Access_QMXSETUP, 1);
}
void DOSOUTRelationManager::InitRelationDOSOUT() {
  Hide_Access_DOSOUT->Init();
  abc::RelationManager::Init(*Access_DOSOUT, 1);
}
void TESTANYRelationManager::InitRelationTESTANY() {
  Hide_Access_TESTANY->Init();
  abc::RelationManager::Init(*Access_TESTANY, 1);
}
void OUTPUTRelationManager::InitRelationOUTPUT() {
  Hide_Access_OUTPUT->Init();
  abc::RelationManager::Init(*Access_OUTPUT, 1);
}

void CreateFileManagers() {
  Hide_Access_OUTPUT = new OUTPUTFileManager;
  Hide_Relate_OUTPUT = new OUTPUTRelationManager;
  Hide_Access_TESTANY = new TESTANYFileManager;
  Hide_Relate_TESTANY = new TESTANYRelationManager;
  Hide_Access_DOSOUT = new DOSOUTFileManager;
  Hide_Relate_DOSOUT = new DOSOUTRelationManager;
  Hide_Access_QMXSETUP = new QMXSETUPFileManager;
  Hide_Relate_QMXSETUP = new QMXSETUPRelationManager;
  Hide_Access_QMXSETUPAlias = new QMXSETUPAliasFileManager;
  Hide_Relate_QMXSETUPAlias = new QMXSETUPAliasRelationManager;
  Relate_OUTPUT = Hide_Relate_OUTPUT;
  Relate_TESTANY = Hide_Relate_TESTANY;
  Relate_DOSOUT = Hide_Relate_DOSOUT;
  Relate_QMXSETUP = Hide_Relate_QMXSETUP;
  Relate_QMXSETUPAlias = Hide_Relate_QMXSETUPAlias;
}

void InitFileManagers() {
  Hide_Relate_OUTPUT->InitRelationOUTPUT();
  Hide_Relate_TESTANY->InitRelationTESTANY();
  Hide_Relate_DOSOUT->InitRelationDOSOUT();
  Hide_Relate_QMXSETUP->InitRelationQMXSETUP();
  Hide_Relate_QMXSETUPAlias->InitRelationQMXSETUPAlias();
}

void KillFileManagers() {
  auto kill = [](auto*& relation) {
    if (!relation) return;
    relation->Kill();
    delete relation;
    relation = nullptr;
  };
  kill(Hide_Relate_OUTPUT);
  kill(Hide_Relate_TESTANY);
  kill(Hide_Relate_DOSOUT);
  kill(Hide_Relate_QMXSETUP);
  kill(Hide_Relate_QMXSETUPAlias);
}

void DictionaryInit() {
  CreateFileManagers();
  InitFileManagers();
}

void DictionaryKill() { KillFileManagers(); }

}  // namespace shell
