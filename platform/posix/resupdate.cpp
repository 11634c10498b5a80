// BeginUpdateResourceA / UpdateResourceA / EndUpdateResourceA for our ELF executables: the
// new resources are written as an image appended behind everything the loader maps.
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <sys/stat.h>
#include <sys/uio.h>
#include <system_error>
#include <unistd.h>
#include <vector>

#include "appendedimage.h"
#include "errors.h"
#include "execresources.h"
#include "mappedfile.h"
#include "pathmap.h"
#include "resources.h"
#include "wholefile.h"
#include "winapi.h"
#include "win/winresource.h"

using namespace winposix;

namespace {

struct PendingResource {
    uint32_t type;
    std::string name;  // upper case, "#n" for numbers
    std::string data;
};

struct ResourceUpdate {
    std::string unixPath;
    std::vector<PendingResource> resources;
};

// The updates begun and not yet ended: a handle is checked against them, so that a stale or
// foreign handle is refused instead of followed.
std::mutex liveLock;
std::set<ResourceUpdate*> live;

ResourceUpdate* FromHandle(HANDLE h)
{
    std::lock_guard<std::mutex> guard(liveLock);
    auto* u = static_cast<ResourceUpdate*>(h);
    return live.count(u) ? u : nullptr;
}

// Takes the update out of the live set; null when it was not there.
std::unique_ptr<ResourceUpdate> Release(HANDLE h)
{
    std::lock_guard<std::mutex> guard(liveLock);
    auto* u = static_cast<ResourceUpdate*>(h);
    return std::unique_ptr<ResourceUpdate>(live.erase(u) ? u : nullptr);
}

std::string Upper(std::string s)
{
    for (char& c : s)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return s;
}

// A type or name as the resource image keeps it; false for a form it cannot hold.
bool ResourceKey(LPCSTR p, bool isType, uint32_t& number, std::string& name)
{
    if (IS_INTRESOURCE(p)) {
        number = static_cast<uint32_t>(reinterpret_cast<ULONG_PTR>(p));
        name = "#" + std::to_string(number);
        return number != 0;
    }
    if (isType || !*p)
        return false;  // the image holds numeric types only
    for (const char* c = p; *c; ++c)
        if (static_cast<unsigned char>(*c) > 0x7F)
            return false;
    name = Upper(p);
    return true;
}

// Writes the program part of the old file, then the new image and its trailer, into a new
// file beside it, and renames that over the old one, keeping its permissions. Returns 0 or an
// errno value.
int Rewrite(const ResourceUpdate& u)
{
    const MappedFile old(u.unixPath);
    AppendedImage appended;
    uint64_t programEnd = old.size();
    if (FindAppendedImage(old.data(), old.size(), appended))
        programEnd = appended.offset;
    const uint64_t imageAt = (programEnd + 15) & ~uint64_t(15);

    std::vector<ResourceSpan> spans;
    for (const PendingResource& r : u.resources)
        spans.push_back({r.type, r.name, r.data.size()});
    std::vector<size_t> dataAt;
    const std::string directory = BuildResourceDirectory(spans, dataAt);
    const uint64_t imageSize = u.resources.empty() ? directory.size() : dataAt.back() + u.resources.back().data.size();

    try {
        wholefile::Replacement file(u.unixPath, wholefile::Durability::None, wholefile::Mode::Kept);
        static const char zeros[16] = {};
        file.Write(old.data(), programEnd);
        file.Write(zeros, imageAt - programEnd);
        file.Write(directory.data(), directory.size());
        size_t at = directory.size();
        for (size_t i = 0; i < u.resources.size(); ++i) {
            file.Write(zeros, dataAt[i] - at);
            file.Write(u.resources[i].data.data(), u.resources[i].data.size());
            at = dataAt[i] + u.resources[i].data.size();
        }
        const std::string trailer = AppendedTrailer(imageAt, imageSize);
        file.Write(trailer.data(), trailer.size());
        file.Commit();
    } catch (const std::system_error& e) {
        return e.code().value();
    }
    return 0;
}

} // namespace

HANDLE BeginUpdateResourceA(LPCSTR pFileName, BOOL bDeleteExistingResources)
{
    if (!pFileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    std::string unixPath;
    DWORD error = 0;
    if (!MapWindowsPath(pFileName, unixPath, error)) {
        SetLastError(error);
        return nullptr;
    }
    if (::access(unixPath.c_str(), R_OK | W_OK) != 0) {
        FailErrno(errno, unixPath);
        return nullptr;
    }
    auto update = std::make_unique<ResourceUpdate>();
    update->unixPath = unixPath;
    try {
        if (!IsElfExecutable(unixPath)) {
            SetLastError(ERROR_BAD_EXE_FORMAT);
            return nullptr;
        }
        if (!bDeleteExistingResources)
            for (const ExecutableResource& r : ReadExecutableResources(unixPath))
                update->resources.push_back({r.type, r.name, std::string(r.data)});
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    } catch (const std::exception&) {
        SetLastError(ERROR_BAD_EXE_FORMAT);
        return nullptr;
    }
    std::lock_guard<std::mutex> guard(liveLock);
    live.insert(update.get());
    return update.release();
}

BOOL UpdateResourceA(HANDLE hUpdate, LPCSTR lpType, LPCSTR lpName, WORD, LPVOID lpData, DWORD cb)
{
    ResourceUpdate* u = FromHandle(hUpdate);
    if (!u)
        return Fail(ERROR_INVALID_HANDLE);
    uint32_t type = 0, number = 0;
    std::string typeName, name;
    if (!lpType || !lpName || !ResourceKey(lpType, true, type, typeName) || !ResourceKey(lpName, false, number, name) ||
        (!lpData && cb != 0))
        return Fail(ERROR_INVALID_PARAMETER);
    auto it = u->resources.begin();
    while (it != u->resources.end() && !(it->type == type && it->name == name))
        ++it;
    if (!lpData) {
        if (it == u->resources.end())
            return Fail(ERROR_RESOURCE_NAME_NOT_FOUND);
        u->resources.erase(it);
        return TRUE;
    }
    try {
        std::string data(static_cast<const char*>(lpData), cb);
        if (it != u->resources.end())
            it->data = std::move(data);
        else
            u->resources.push_back({type, name, std::move(data)});
    } catch (const std::bad_alloc&) {
        return Fail(ERROR_NOT_ENOUGH_MEMORY);
    }
    return TRUE;
}

BOOL EndUpdateResourceA(HANDLE hUpdate, BOOL fDiscard)
{
    const std::unique_ptr<ResourceUpdate> u = Release(hUpdate);
    if (!u)
        return Fail(ERROR_INVALID_HANDLE);
    if (fDiscard)
        return TRUE;
    try {
        const int err = Rewrite(*u);
        if (err)
            return FailErrno(err, u->unixPath);
    } catch (const std::bad_alloc&) {
        return Fail(ERROR_NOT_ENOUGH_MEMORY);
    } catch (const std::exception&) {
        return Fail(ERROR_BAD_EXE_FORMAT);
    }
    return TRUE;
}
