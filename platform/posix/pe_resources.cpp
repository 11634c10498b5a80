#include "pe_resources.h"

#include <cstring>
#include <fstream>
#include <stdexcept>

namespace winposix {

bool IsPeFile(const std::string& unixPath)
{
    std::ifstream in(unixPath, std::ios::binary);
    char head[2] = {};
    return in.read(head, 2) && head[0] == 'M' && head[1] == 'Z';
}

std::vector<PendingResource> ReadPeUpdateResources(const std::string& unixPath)
{
    throw std::runtime_error(unixPath + ": PE resources cannot be updated yet");
}

void WritePe(int, const MappedFile&, const std::vector<PendingResource>&)
{
    throw std::runtime_error("PE resources cannot be updated yet");
}

} // namespace winposix
