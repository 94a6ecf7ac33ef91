// The class library's file and relation managers over a keyed TopSpeed table.
//
// KeyedFile is one thread's instance of a file declaration: its label, its
// file name (PROP:Name), its layout with keys and BLOBs, and the driver state
// with the record buffer (tps::KeyedTable). The file name has no directory
// of its own unless one is given, so the file lies in the current directory.
//
// FileManager contract:
// - Init (base): open count 0, lazy opening, not killed, and the manager is
//   entered in the thread's mapping from declarations to managers. InitFile
//   binds it to a declaration (defaults: Create 1, LockRecover 10, open mode
//   42h, file-name value = the declaration's name) and sets Initialized.
//   AddKey registers a key (0-based, in declaration order) under a
//   description, optionally auto-numbered.
// - Open counts; the physical open waits for the first UseFile in a mode
//   other than 5 (the set-up pass). The physical open creates a missing file
//   when Create is 1, retries once after "Recover=" & LockRecover when refused
//   with 5, and reports a failure with OpenFailed or CreateFailed (levels that
//   end the program). A use without an Open is reported with UseClosedFile.
// - While the file is open its changes are written once, when Close ends the
//   last use (through a temporary file renamed over the old one); the other
//   declarations of the same file on this thread see them at once. A write
//   that fails then is reported with PutFailed.
// - Fetch(key) reads the row whose key equals the buffer's key fields: 0, or
//   5 with the buffer cleared and nothing shown. Next and Previous: 0, 5 at the
//   end (nothing shown), 5 after AbortReading for an error. PrimeRecord clears
//   the buffer (unless told to keep it) and puts the next number into every
//   auto-numbered key. Insert and Update report DuplicateKey (with the key's
//   description), ConcurrencyFailed, AddFailed or PutFailed and return 5, or 0.
// - Every message first records the file-name value (GetName) as %File.
//
// RelationManager contract: Init binds it to its file manager (Me) with the
// use-logout flag; SetAlias names the relation manager of the aliased file;
// Open and Close open and close Me (no related files); Delete(query) asks
// ConfirmDelete first when query is set (No: returns 5, nothing deleted),
// rereads the current row by the primary key, deletes it and writes the file,
// and after a failure shows DeleteFailed and offers RetryDelete (Yes retries).
//
// Derived managers override the virtual operations and call the base.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/abc/error_manager.h"
#include "platform/tps/definition.h"
#include "platform/tps/keyed_table.h"

namespace abc {

// Use modes of UseFile.
inline constexpr BYTE UseType_Uses = 0;
inline constexpr BYTE UseType_Returns = 2;
inline constexpr BYTE UseType_Initialize = 5;

struct KeyedFile {
  std::string label;  // "QMXSETUP"
  std::string name;   // PROP:Name, "QMXSETUP.TPS"
  tps::TableDef def;  // layout, BLOBs and keys
  tps::KeyedTable table;

  KeyedFile(std::string label_, std::string name_, tps::TableDef def_)
      : label(std::move(label_)), name(std::move(name_)), def(std::move(def_)) {
    table.declare(def);
  }
  ~KeyedFile();
  KeyedFile(const KeyedFile&) = delete;
  KeyedFile& operator=(const KeyedFile&) = delete;
  std::string& buffer() { return table.buffer(); }
  void clear() { table.clear(); }
  void set() { table.set(); }                             // SET(file): physical order
  void set(std::size_t key) { table.set_key(key); }       // SET(key)
  void set_from(std::size_t key) { table.set_key_from(key); }  // SET(key, key)
  std::string position() const { return table.position(); }    // POSITION(key)
  void reset(std::string_view p) { table.reset(p); }           // RESET(key, position)
};

class FileManager {
 public:
  virtual ~FileManager();

  virtual void Init();
  virtual void Kill();
  void SetErrors(ErrorManager& errors) { Errors = &errors; }
  void InitFile(KeyedFile& file, ErrorManager& errors);
  // A declaration this manager never opens (a DOS or ASCII file): only its name.
  void InitFile(std::string_view declared_name, ErrorManager& errors);
  void AddKey(std::size_t key, std::string description, bool auto_number = false);

  virtual BYTE UseFile(BYTE mode = UseType_Uses);
  BYTE Open();
  BYTE Close();
  BYTE Fetch(std::size_t key);
  BYTE Next();
  BYTE Previous();
  BYTE PrimeRecord(bool keep_buffer = false);
  BYTE Insert();
  BYTE Update();
  // DELETE of the current row, nothing shown: the runtime's error code.
  int TryDelete();
  // Writes what changed now (the file stays open).
  BYTE Flush();

  std::string GetName() const;
  int OpenCount() const { return open_count_; }
  bool PhysicallyOpen() const { return File && File->table.is_open(); }
  std::size_t PrimaryKey() const;

  // BLOB n (1-based) of the record buffer.
  std::int64_t BlobSize(int n) const;
  void BlobSetSize(int n, std::int64_t size);
  std::string BlobRead(int n, std::int64_t first, std::int64_t last) const;
  void BlobWrite(int n, std::int64_t first, std::string_view bytes);

  // Settings, named as the class library names them.
  KeyedFile* File = nullptr;           // FILE
  char* Buffer = nullptr;              // BUFFER
  std::size_t BufferSize = 0;
  std::string FileNameValue;           // FILENAMEVALUE
  std::function<std::string()> FileName;  // FILENAME: a variable that names the file
  FileManager* AliasedFile = nullptr;  // ALIASEDFILE
  ErrorManager* Errors = nullptr;
  BYTE Create = 1;
  BYTE LockRecover = 10;
  int OpenMode = 0x42;
  BYTE LazyOpen = 1;
  BYTE Initialized = 0;
  BYTE InUseFile = 0;
  BYTE Killed = 0;

  struct Key {
    std::size_t key = 0;
    std::string description;
    bool auto_number = false;
  };
  const std::vector<Key>& Keys() const { return keys_; }

  // The manager that the thread's mapping holds for a declaration.
  static FileManager* For(const KeyedFile& file);

 protected:
  BYTE Throw(int id);

 private:
  BYTE OpenFile();
  BYTE Read(bool forward);
  BYTE DuplicateKey(bool adding);
  int open_count_ = 0;
  std::vector<Key> keys_;
};

class RelationManager {
 public:
  virtual ~RelationManager();

  void Init(FileManager& me, BYTE use_logout);
  void SetAlias(RelationManager& aliased) { AliasFile = &aliased; }
  virtual void Kill();
  BYTE Open();
  BYTE Close();
  BYTE Delete(BYTE query = 1);

  FileManager* Me = nullptr;
  RelationManager* AliasFile = nullptr;
  BYTE UseLogout = 0;
  int LogoutTimeout = 0;
  std::vector<RelationManager*> Relations;

  static RelationManager* For(const FileManager& me);
};

}  // namespace abc
