#include "platform/abc/file_manager.h"

#include <algorithm>
#include <map>

#include "platform/files/errors.h"
#include "platform/files/paths.h"
#include "platform/tps/format.h"

namespace abc {

namespace {

// The thread's mappings from declarations to file managers and from file
// managers to relation managers. Managers and declarations that outlive them
// at the end of a thread find none.
thread_local bool mappings_gone = false;

struct Mappings {
  std::map<const KeyedFile*, FileManager*> files;
  std::map<const FileManager*, RelationManager*> relations;
  ~Mappings() { mappings_gone = true; }
};

Mappings* mappings() {
  if (mappings_gone) return nullptr;
  thread_local Mappings m;
  return &m;
}

template <class Map, class Value>
void forget(Map& map, const Value* value) {
  for (auto it = map.begin(); it != map.end();) it = it->second == value ? map.erase(it) : std::next(it);
}

}  // namespace

// ---- FileManager ------------------------------------------------------------------

KeyedFile::~KeyedFile() {
  // A manager that outlives its declaration (at the end of a thread) must not
  // reach it any more.
  if (FileManager* m = FileManager::For(*this)) m->File = nullptr;
}

FileManager::~FileManager() {
  if (PhysicallyOpen()) File->table.close();
  if (Mappings* m = mappings()) forget(m->files, this);
}

void FileManager::Init() {
  open_count_ = 0;
  LazyOpen = 1;
  Killed = 0;
  if (Mappings* m = mappings(); m && File) m->files[File] = this;
}

void FileManager::Kill() {
  if (PhysicallyOpen()) File->table.close();
  open_count_ = 0;
  keys_.clear();
  if (Mappings* m = mappings()) forget(m->files, this);
  Killed = 1;
}

void FileManager::InitFile(KeyedFile& file, ErrorManager& errors) {
  File = &file;
  Errors = &errors;
  Buffer = file.buffer().data();
  BufferSize = file.buffer().size();
  Create = 1;
  LockRecover = 10;
  OpenMode = 0x42;
  FileNameValue = file.name;
  keys_.clear();
  if (Mappings* m = mappings()) m->files[File] = this;
  Initialized = 1;
}

void FileManager::InitFile(std::string_view declared_name, ErrorManager& errors) {
  Errors = &errors;
  Create = 1;
  LockRecover = 10;
  OpenMode = 0x42;
  FileNameValue = std::string(declared_name);
  keys_.clear();
  Initialized = 1;
}

void FileManager::AddKey(std::size_t key, std::string description, bool auto_number) {
  keys_.push_back(Key{key, std::move(description), auto_number});
}

FileManager* FileManager::For(const KeyedFile& file) {
  Mappings* m = mappings();
  if (!m) return nullptr;
  auto it = m->files.find(&file);
  return it == m->files.end() ? nullptr : it->second;
}

std::string FileManager::GetName() const { return FileName ? FileName() : FileNameValue; }

BYTE FileManager::Throw(int id) {
  if (!Errors) return Level_Notify;
  return Errors->ThrowFile(id, GetName());
}

std::size_t FileManager::PrimaryKey() const {
  if (!File) return 0;
  const auto& keys = File->def.keys;
  for (std::size_t k = 0; k < keys.size(); ++k) {
    if (keys[k].flags & tps::format::kKeyPrimary) return k;
  }
  for (std::size_t k = 0; k < keys.size(); ++k) {
    if (!(keys[k].flags & tps::format::kKeyDup)) return k;
  }
  return 0;
}

BYTE FileManager::UseFile(BYTE mode) {
  if (mode == UseType_Initialize) return Level_Benign;
  if (open_count_ == 0) return Throw(Msg_UseClosedFile);
  if (PhysicallyOpen()) return Level_Benign;
  return OpenFile();
}

BYTE FileManager::OpenFile() {
  if (!File) return Throw(Msg_OpenFailed);
  const auto path = files::os_path(GetName());
  int rc = File->table.open(path);
  if (rc == files::kAccessDenied) {
    // The driver is sent "Recover=" & LockRecover; ours has no lock to break,
    // so the retry alone remains.
    rc = File->table.open(path);
  }
  if (rc == files::kFileNotFound && Create) {
    if (File->table.create(path, File->def, "") != 0) return Throw(Msg_CreateFailed);
    rc = File->table.open(path);
  }
  if (rc != 0 && rc != files::kFileAlreadyOpen) return Throw(Msg_OpenFailed);
  File->table.defer_writes(true);
  Buffer = File->buffer().data();
  BufferSize = File->buffer().size();
  return Level_Benign;
}

BYTE FileManager::Open() {
  if (const BYTE rc = UseFile(UseType_Initialize); rc != Level_Benign) return rc;
  ++open_count_;
  return Level_Benign;
}

BYTE FileManager::Close() {
  if (open_count_ == 0) return Level_Notify;
  if (--open_count_ > 0 || !PhysicallyOpen()) return Level_Benign;
  if (File->table.close() != 0) return Throw(Msg_PutFailed);
  return Level_Benign;
}

BYTE FileManager::Flush() {
  if (!PhysicallyOpen()) return Level_Benign;
  if (File->table.flush() != 0) return Throw(Msg_PutFailed);
  return Level_Benign;
}

BYTE FileManager::Fetch(std::size_t key) {
  if (const BYTE rc = UseFile(); rc != Level_Benign) return rc;
  if (File->table.fetch(key) != 0) {
    File->clear();
    return Level_Notify;
  }
  return Level_Benign;
}

BYTE FileManager::Next() { return Read(true); }
BYTE FileManager::Previous() { return Read(false); }

BYTE FileManager::Read(bool forward) {
  if (const BYTE rc = UseFile(); rc != Level_Benign) return rc;
  const int rc = forward ? File->table.next() : File->table.previous();
  if (rc == 0) return Level_Benign;
  if (rc == files::kRecordNotAvailable) return Level_Notify;
  Throw(Msg_AbortReading);
  return Level_Notify;
}

BYTE FileManager::PrimeRecord(bool keep_buffer) {
  if (const BYTE rc = UseFile(); rc != Level_Benign) return rc;
  if (!keep_buffer) File->clear();
  for (const Key& k : keys_) {
    if (k.auto_number && File->table.auto_number(k.key) == 0) {
      Throw(Msg_RetryAutoInc);
      return Level_Notify;
    }
  }
  return Level_Benign;
}

BYTE FileManager::Insert() {
  if (const BYTE rc = UseFile(); rc != Level_Benign) return rc;
  const int rc = File->table.add();
  if (rc == 0) return Level_Benign;
  if (rc == files::kCreatesDuplicateKey) return DuplicateKey(true);
  Throw(Msg_AddFailed);
  return Level_Notify;
}

BYTE FileManager::Update() {
  if (const BYTE rc = UseFile(); rc != Level_Benign) return rc;
  const int rc = File->table.put();
  if (rc == 0) return Level_Benign;
  if (rc == files::kCreatesDuplicateKey) return DuplicateKey(false);
  Throw(rc == files::kRecordChangedByAnotherStation ? Msg_ConcurrencyFailed : Msg_PutFailed);
  return Level_Notify;
}

// The message names the description of the first key the buffer repeats.
BYTE FileManager::DuplicateKey(bool adding) {
  std::string which;
  for (const Key& k : keys_) {
    if (File->table.duplicate(k.key, adding)) {
      which = k.description;
      break;
    }
  }
  if (Errors) {
    Errors->SetFile(GetName());
    Errors->ThrowMessage(Msg_DuplicateKey, which);
  }
  return Level_Notify;
}

int FileManager::TryDelete() {
  if (!File || !PhysicallyOpen()) {
    files::set_error(files::kFileNotOpen);
    return files::kFileNotOpen;
  }
  return File->table.erase();
}

std::int64_t FileManager::BlobSize(int n) const { return File ? File->table.blob_size(n) : 0; }
void FileManager::BlobSetSize(int n, std::int64_t size) {
  if (File) File->table.blob_set_size(n, size);
}
std::string FileManager::BlobRead(int n, std::int64_t first, std::int64_t last) const {
  return File ? File->table.blob_read(n, first, last) : std::string();
}
void FileManager::BlobWrite(int n, std::int64_t first, std::string_view bytes) {
  if (File) File->table.blob_write(n, first, bytes);
}

// ---- RelationManager -----------------------------------------------------------------

RelationManager::~RelationManager() {
  if (Mappings* m = mappings()) forget(m->relations, this);
}

void RelationManager::Init(FileManager& me, BYTE use_logout) {
  Me = &me;
  Relations.clear();
  UseLogout = use_logout;
  LogoutTimeout = 2;
  if (Mappings* m = mappings()) m->relations[Me] = this;
}

void RelationManager::Kill() {
  if (Mappings* m = mappings()) forget(m->relations, this);
  Relations.clear();
}

RelationManager* RelationManager::For(const FileManager& me) {
  Mappings* m = mappings();
  if (!m) return nullptr;
  auto it = m->relations.find(&me);
  return it == m->relations.end() ? nullptr : it->second;
}

BYTE RelationManager::Open() { return Me ? Me->Open() : Level_Notify; }
BYTE RelationManager::Close() { return Me ? Me->Close() : Level_Notify; }

BYTE RelationManager::Delete(BYTE query) {
  if (!Me || !Me->Errors) return Level_Notify;
  ErrorManager& errors = *Me->Errors;
  if (query && errors.ThrowFile(Msg_ConfirmDelete, Me->GetName()) != Level_Benign) return Level_Notify;
  for (;;) {
    if (const BYTE rc = Me->UseFile(); rc != Level_Benign) return rc;
    // The row to delete is the one the buffer holds: read it again by the
    // primary key, so that it is the current row whatever was read since.
    int rc = Me->File->table.fetch(Me->PrimaryKey());
    if (rc == 0) rc = Me->TryDelete();
    if (rc == 0 && Me->File->table.flush() == 0) return Level_Benign;
    errors.ThrowFile(Msg_DeleteFailed, Me->GetName());
    if (errors.ThrowFile(Msg_RetryDelete, Me->GetName()) != Level_Benign) return Level_Notify;
  }
}

}  // namespace abc
