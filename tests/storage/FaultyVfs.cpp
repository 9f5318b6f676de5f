#include "tests/storage/FaultyVfs.h"

#include <sqlite3.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <mutex>
#include <sstream>
#include <vector>

namespace {

struct Fault {
    FaultyVfs::Operation operation;
    int code;
    std::string pathSuffix;
};

std::mutex faultsLock;
std::vector<Fault> faults;
std::atomic<int> injectedCount{0};
sqlite3_vfs* inner = nullptr;

bool endsWith(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

// The code to fail `operation` on `path` with, or SQLITE_OK.
int faultFor(FaultyVfs::Operation operation, const std::string& path) {
    std::lock_guard lock(faultsLock);
    for (const Fault& fault : faults) {
        if (fault.operation == operation && endsWith(path, fault.pathSuffix)) {
            ++injectedCount;
            return fault.code;
        }
    }
    return SQLITE_OK;
}

// The wrapped file; the default VFS's own file structure follows it in the same allocation.
struct FaultyFile {
    sqlite3_file base;
    sqlite3_file* real;
    std::string* path;
};

FaultyFile* self(sqlite3_file* file) {
    return reinterpret_cast<FaultyFile*>(file);
}

sqlite3_file* real(sqlite3_file* file) {
    return self(file)->real;
}

int fileClose(sqlite3_file* file) {
    int code = real(file)->pMethods->xClose(real(file));
    delete self(file)->path;
    self(file)->path = nullptr;
    return code;
}

int fileRead(sqlite3_file* file, void* buffer, int amount, sqlite3_int64 offset) {
    if (int code = faultFor(FaultyVfs::Operation::read, *self(file)->path)) {
        return code;
    }
    return real(file)->pMethods->xRead(real(file), buffer, amount, offset);
}

int fileWrite(sqlite3_file* file, const void* buffer, int amount, sqlite3_int64 offset) {
    if (int code = faultFor(FaultyVfs::Operation::write, *self(file)->path)) {
        return code;
    }
    return real(file)->pMethods->xWrite(real(file), buffer, amount, offset);
}

int fileTruncate(sqlite3_file* file, sqlite3_int64 size) {
    if (int code = faultFor(FaultyVfs::Operation::write, *self(file)->path)) {
        return code;
    }
    return real(file)->pMethods->xTruncate(real(file), size);
}

int fileSync(sqlite3_file* file, int flags) {
    if (int code = faultFor(FaultyVfs::Operation::sync, *self(file)->path)) {
        return code;
    }
    return real(file)->pMethods->xSync(real(file), flags);
}

int fileSize(sqlite3_file* file, sqlite3_int64* size) {
    return real(file)->pMethods->xFileSize(real(file), size);
}

int fileLock(sqlite3_file* file, int level) {
    return real(file)->pMethods->xLock(real(file), level);
}

int fileUnlock(sqlite3_file* file, int level) {
    return real(file)->pMethods->xUnlock(real(file), level);
}

int fileCheckReservedLock(sqlite3_file* file, int* result) {
    return real(file)->pMethods->xCheckReservedLock(real(file), result);
}

int fileControl(sqlite3_file* file, int op, void* argument) {
    return real(file)->pMethods->xFileControl(real(file), op, argument);
}

int fileSectorSize(sqlite3_file* file) {
    return real(file)->pMethods->xSectorSize(real(file));
}

int fileDeviceCharacteristics(sqlite3_file* file) {
    return real(file)->pMethods->xDeviceCharacteristics(real(file));
}

int fileShmMap(sqlite3_file* file, int region, int size, int extend, void volatile** memory) {
    if (int code = faultFor(FaultyVfs::Operation::shmMap, *self(file)->path)) {
        return code;
    }
    return real(file)->pMethods->xShmMap(real(file), region, size, extend, memory);
}

int fileShmLock(sqlite3_file* file, int offset, int count, int flags) {
    return real(file)->pMethods->xShmLock(real(file), offset, count, flags);
}

void fileShmBarrier(sqlite3_file* file) {
    real(file)->pMethods->xShmBarrier(real(file));
}

int fileShmUnmap(sqlite3_file* file, int deleteFlag) {
    return real(file)->pMethods->xShmUnmap(real(file), deleteFlag);
}

// Memory-mapped reads would bypass xRead and with it the read faults: always decline.
int fileFetch(sqlite3_file*, sqlite3_int64, int, void** pointer) {
    *pointer = nullptr;
    return SQLITE_OK;
}

int fileUnfetch(sqlite3_file*, sqlite3_int64, void*) {
    return SQLITE_OK;
}

const sqlite3_io_methods kMethods = {
    3,
    fileClose,
    fileRead,
    fileWrite,
    fileTruncate,
    fileSync,
    fileSize,
    fileLock,
    fileUnlock,
    fileCheckReservedLock,
    fileControl,
    fileSectorSize,
    fileDeviceCharacteristics,
    fileShmMap,
    fileShmLock,
    fileShmBarrier,
    fileShmUnmap,
    fileFetch,
    fileUnfetch,
};

int vfsOpen(sqlite3_vfs*, sqlite3_filename name, sqlite3_file* file, int flags, int* outFlags) {
    FaultyFile* wrapped = self(file);
    wrapped->base.pMethods = nullptr;
    const std::string path = name != nullptr ? name : "";
    int code = faultFor(FaultyVfs::Operation::open, path);
    if (code == SQLITE_OK && (flags & SQLITE_OPEN_CREATE) != 0 && !path.empty() &&
        access(path.c_str(), F_OK) != 0) {
        code = faultFor(FaultyVfs::Operation::create, path);
    }
    if (code != SQLITE_OK) {
        return code;
    }
    wrapped->real = reinterpret_cast<sqlite3_file*>(wrapped + 1);
    code = inner->xOpen(inner, name, wrapped->real, flags, outFlags);
    if (wrapped->real->pMethods != nullptr) {
        wrapped->path = new std::string(path);
        wrapped->base.pMethods = &kMethods;
    }
    return code;
}

int vfsDelete(sqlite3_vfs*, const char* name, int syncDirectory) {
    if (int code = faultFor(FaultyVfs::Operation::remove, name)) {
        return code;
    }
    return inner->xDelete(inner, name, syncDirectory);
}

int vfsAccess(sqlite3_vfs*, const char* name, int flags, int* result) {
    return inner->xAccess(inner, name, flags, result);
}

int vfsFullPathname(sqlite3_vfs*, const char* name, int size, char* out) {
    return inner->xFullPathname(inner, name, size, out);
}

void* vfsDlOpen(sqlite3_vfs*, const char* name) {
    return inner->xDlOpen(inner, name);
}

void vfsDlError(sqlite3_vfs*, int size, char* out) {
    inner->xDlError(inner, size, out);
}

void (*vfsDlSym(sqlite3_vfs*, void* handle, const char* symbol))(void) {
    return inner->xDlSym(inner, handle, symbol);
}

void vfsDlClose(sqlite3_vfs*, void* handle) {
    inner->xDlClose(inner, handle);
}

int vfsRandomness(sqlite3_vfs*, int size, char* out) {
    return inner->xRandomness(inner, size, out);
}

int vfsSleep(sqlite3_vfs*, int microseconds) {
    return inner->xSleep(inner, microseconds);
}

int vfsCurrentTime(sqlite3_vfs*, double* now) {
    return inner->xCurrentTime(inner, now);
}

int vfsGetLastError(sqlite3_vfs*, int size, char* out) {
    return inner->xGetLastError(inner, size, out);
}

int vfsCurrentTimeInt64(sqlite3_vfs*, sqlite3_int64* now) {
    return inner->xCurrentTimeInt64(inner, now);
}

sqlite3_vfs faultyVfs = {};

struct CodeName {
    const char* name;
    int code;
};

constexpr CodeName kCodes[] = {
    {"CANTOPEN", SQLITE_CANTOPEN},
    {"IOERR", SQLITE_IOERR},
    {"FULL", SQLITE_FULL},
    {"PERM", SQLITE_PERM},
    {"AUTH", SQLITE_AUTH},
    {"READONLY", SQLITE_READONLY},
    {"BUSY", SQLITE_BUSY},
    {"IOERR_SHMSIZE", SQLITE_IOERR_SHMSIZE},
    {"IOERR_READ", SQLITE_IOERR_READ},
    {"IOERR_WRITE", SQLITE_IOERR_WRITE},
    {"IOERR_FSYNC", SQLITE_IOERR_FSYNC},
};

struct OperationName {
    const char* name;
    FaultyVfs::Operation operation;
};

constexpr OperationName kOperations[] = {
    {"open", FaultyVfs::Operation::open},     {"create", FaultyVfs::Operation::create},
    {"read", FaultyVfs::Operation::read},     {"write", FaultyVfs::Operation::write},
    {"sync", FaultyVfs::Operation::sync},     {"shm", FaultyVfs::Operation::shmMap},
    {"remove", FaultyVfs::Operation::remove},
};

}  // namespace

void FaultyVfs::install() {
    static std::once_flag once;
    std::call_once(once, [] {
        inner = sqlite3_vfs_find(nullptr);
        faultyVfs.iVersion = 2;
        faultyVfs.szOsFile = static_cast<int>(sizeof(FaultyFile)) + inner->szOsFile;
        faultyVfs.mxPathname = inner->mxPathname;
        faultyVfs.zName = "tarno-faulty";
        faultyVfs.xOpen = vfsOpen;
        faultyVfs.xDelete = vfsDelete;
        faultyVfs.xAccess = vfsAccess;
        faultyVfs.xFullPathname = vfsFullPathname;
        faultyVfs.xDlOpen = vfsDlOpen;
        faultyVfs.xDlError = vfsDlError;
        faultyVfs.xDlSym = vfsDlSym;
        faultyVfs.xDlClose = vfsDlClose;
        faultyVfs.xRandomness = vfsRandomness;
        faultyVfs.xSleep = vfsSleep;
        faultyVfs.xCurrentTime = vfsCurrentTime;
        faultyVfs.xGetLastError = vfsGetLastError;
        faultyVfs.xCurrentTimeInt64 = vfsCurrentTimeInt64;
        sqlite3_vfs_register(&faultyVfs, 1);
    });
}

void FaultyVfs::fail(Operation operation, int code, const std::string& pathSuffix) {
    std::lock_guard lock(faultsLock);
    faults.push_back({operation, code, pathSuffix});
}

void FaultyVfs::clear() {
    std::lock_guard lock(faultsLock);
    faults.clear();
    injectedCount = 0;
}

int FaultyVfs::injected() {
    return injectedCount.load();
}

bool FaultyVfs::failFromText(const std::string& text) {
    std::stringstream items(text);
    std::string item;
    while (std::getline(items, item, ',')) {
        const size_t colon = item.find(':');
        if (colon == std::string::npos) {
            return false;
        }
        const std::string operationName = item.substr(0, colon);
        const std::string codeName = item.substr(colon + 1);
        const OperationName* operation = nullptr;
        for (const OperationName& candidate : kOperations) {
            if (operationName == candidate.name) {
                operation = &candidate;
            }
        }
        const CodeName* code = nullptr;
        for (const CodeName& candidate : kCodes) {
            if (codeName == candidate.name) {
                code = &candidate;
            }
        }
        if (operation == nullptr || code == nullptr) {
            return false;
        }
        fail(operation->operation, code->code);
    }
    return true;
}
