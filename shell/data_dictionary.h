// The data dictionary: the saved-query table QMXSETUP and its alias
// QMXSETUPAlias (one declaration instance per thread, the same file
// "QMXSETUP.TPS" in the current directory), a typed view of their 763-byte
// record, and per thread a file manager and a relation manager for each of the
// five files (QMXSETUP, QMXSETUPAlias and the engine's TESTANY, DOSOUT and
// OUTPUT), created and initialised by DictionaryInit and killed by
// DictionaryKill. The dictionary opens no file; QMXSETUP.TPS is created by
// its file manager on first use.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/abc/file_manager.h"
#include "platform/runtime/runtime.h"

namespace shell {

// ---- the saved-query record -------------------------------------------------------

// Keys (0-based, declaration order) and BLOBs (1-based) of both declarations.
inline constexpr std::size_t QMX_BySysID = 0;
inline constexpr std::size_t QMX_ByQueryName = 1;
inline constexpr std::size_t QMX_ByTag = 2;
inline constexpr int QMX_SELECT = 1;
inline constexpr int QMX_WHERE = 2;
inline constexpr int QMX_FIELDS = 3;
inline constexpr std::size_t QMXSETUP_RECORD_SIZE = 763;

// Fields of a record buffer, read and written at their offsets.
template <std::size_t Offset>
class LongField {
 public:
  explicit LongField(std::string* buffer) : b_(buffer) {}
  operator std::int32_t() const {  // NOLINT
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i) v = (v << 8) | static_cast<unsigned char>((*b_)[Offset + i]);
    return static_cast<std::int32_t>(v);
  }
  LongField& operator=(std::int32_t v) {
    for (int i = 0; i < 4; ++i) (*b_)[Offset + i] = static_cast<char>((static_cast<std::uint32_t>(v) >> (8 * i)) & 0xFF);
    return *this;
  }

 private:
  std::string* b_;
};

template <std::size_t Offset>
class ByteField {
 public:
  explicit ByteField(std::string* buffer) : b_(buffer) {}
  operator std::uint8_t() const { return static_cast<unsigned char>((*b_)[Offset]); }  // NOLINT
  ByteField& operator=(std::uint8_t v) {
    (*b_)[Offset] = static_cast<char>(v);
    return *this;
  }

 private:
  std::string* b_;
};

// CSTRING(N): at most N-1 characters, NUL-terminated, the rest zeros.
template <std::size_t Offset, std::size_t N>
class CStringField {
 public:
  explicit CStringField(std::string* buffer) : b_(buffer) {}
  std::string_view view() const {
    const char* p = b_->data() + Offset;
    const void* nul = std::memchr(p, '\0', N);
    return {p, nul ? static_cast<std::size_t>(static_cast<const char*>(nul) - p) : N - 1};
  }
  operator std::string_view() const { return view(); }  // NOLINT
  CStringField& operator=(std::string_view s) {
    std::size_t n = std::min(s.size(), N - 1);
    if (const void* nul = std::memchr(s.data(), '\0', n)) n = static_cast<std::size_t>(static_cast<const char*>(nul) - s.data());
    char* p = b_->data() + Offset;
    std::memmove(p, s.data(), n);
    std::memset(p + n, 0, N - n);
    return *this;
  }

 private:
  std::string* b_;
};

// QMX:SYSID ... QMX:RECORDS over a record buffer (QMXSETUP's or the alias's).
struct QmxRecord {
  explicit QmxRecord(std::string& buffer)
      : SYSID(&buffer), TAG(&buffer), QUERYNAME(&buffer), TPSPASSWORD(&buffer), INPUTTPSLOCATION(&buffer),
        OUTPUTCSVLOCATION(&buffer), DATESTAMPINEXPORT(&buffer), NULLEMPTYSTR(&buffer), FIELDSBYNAME(&buffer),
        DATEFORMAT(&buffer), DATETIMESEPARATOR(&buffer), TIMEFORMAT(&buffer), NOPREVIEW(&buffer),
        RECORDS(&buffer) {}
  LongField<0> SYSID;
  ByteField<4> TAG;
  CStringField<5, 100> QUERYNAME;
  CStringField<105, 100> TPSPASSWORD;
  CStringField<205, 256> INPUTTPSLOCATION;
  CStringField<461, 256> OUTPUTCSVLOCATION;
  ByteField<717> DATESTAMPINEXPORT;
  ByteField<718> NULLEMPTYSTR;
  ByteField<719> FIELDSBYNAME;
  CStringField<720, 14> DATEFORMAT;
  CStringField<734, 10> DATETIMESEPARATOR;
  CStringField<744, 14> TIMEFORMAT;
  ByteField<758> NOPREVIEW;
  LongField<759> RECORDS;
};

// The layout of the saved-query table with the field prefix "QMX" or "QMX2".
tps::TableDef QmxTableDef(std::string_view prefix);

// ---- the thread's declarations -------------------------------------------------------

extern runtime::Threaded<abc::KeyedFile> QMXSETUP;
extern runtime::Threaded<abc::KeyedFile> QMXSETUPAlias;

// The typed record buffers of the calling thread: QMX (prefix QMX:) and QMX2 (QMX2:).
QmxRecord QMX();
QmxRecord QMX2();

// ---- managers ------------------------------------------------------------------------

// The five files' managers, each overriding Init, Kill and UseFile (file
// managers) or Kill (relation managers) and calling the base.
class DictionaryFileManager : public abc::FileManager {
 public:
  void Init() override;
  void Kill() override;
  abc::BYTE UseFile(abc::BYTE mode = abc::UseType_Uses) override;

 protected:
  enum class Which { QMXSETUPAlias, QMXSETUP, DOSOUT, TESTANY, OUTPUT };
  explicit DictionaryFileManager(Which which) : which_(which) {}

 private:
  Which which_;
};

class QMXSETUPAliasFileManager final : public DictionaryFileManager {
 public:
  QMXSETUPAliasFileManager() : DictionaryFileManager(Which::QMXSETUPAlias) {}
};
class QMXSETUPFileManager final : public DictionaryFileManager {
 public:
  QMXSETUPFileManager() : DictionaryFileManager(Which::QMXSETUP) {}
};
class DOSOUTFileManager final : public DictionaryFileManager {
 public:
  DOSOUTFileManager() : DictionaryFileManager(Which::DOSOUT) {}
};
class TESTANYFileManager final : public DictionaryFileManager {
 public:
  TESTANYFileManager() : DictionaryFileManager(Which::TESTANY) {}
};
class OUTPUTFileManager final : public DictionaryFileManager {
 public:
  OUTPUTFileManager() : DictionaryFileManager(Which::OUTPUT) {}
};

class DictionaryRelationManager : public abc::RelationManager {
 public:
  void Kill() override;

 protected:
  enum class Which { QMXSETUPAlias, QMXSETUP, DOSOUT, TESTANY, OUTPUT };
  explicit DictionaryRelationManager(Which which) : which_(which) {}

 private:
  Which which_;
};

class QMXSETUPAliasRelationManager final : public DictionaryRelationManager {
 public:
  QMXSETUPAliasRelationManager() : DictionaryRelationManager(Which::QMXSETUPAlias) {}
  void InitRelationQMXSETUPAlias();
};
class QMXSETUPRelationManager final : public DictionaryRelationManager {
 public:
  QMXSETUPRelationManager() : DictionaryRelationManager(Which::QMXSETUP) {}
  void InitRelationQMXSETUP();
};
class DOSOUTRelationManager final : public DictionaryRelationManager {
 public:
  DOSOUTRelationManager() : DictionaryRelationManager(Which::DOSOUT) {}
  void InitRelationDOSOUT();
};
class TESTANYRelationManager final : public DictionaryRelationManager {
 public:
  TESTANYRelationManager() : DictionaryRelationManager(Which::TESTANY) {}
  void InitRelationTESTANY();
};
class OUTPUTRelationManager final : public DictionaryRelationManager {
 public:
  OUTPUTRelationManager() : DictionaryRelationManager(Which::OUTPUT) {}
  void InitRelationOUTPUT();
};

// The thread's public references: the file manager and relation manager of
// each file (nullptr before DictionaryInit and after DictionaryKill).
extern thread_local abc::FileManager* Access_QMXSETUPAlias;
extern thread_local abc::FileManager* Access_QMXSETUP;
extern thread_local abc::FileManager* Access_DOSOUT;
extern thread_local abc::FileManager* Access_TESTANY;
extern thread_local abc::FileManager* Access_OUTPUT;
extern thread_local abc::RelationManager* Relate_QMXSETUPAlias;
extern thread_local abc::RelationManager* Relate_QMXSETUP;
extern thread_local abc::RelationManager* Relate_DOSOUT;
extern thread_local abc::RelationManager* Relate_TESTANY;
extern thread_local abc::RelationManager* Relate_OUTPUT;

void DictionaryInit();
void DictionaryKill();
void CreateFileManagers();
void InitFileManagers();
void KillFileManagers();

}  // namespace shell
