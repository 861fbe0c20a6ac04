#include "TestSupport.h"

#include "setupconfig/ResourceUnpack.h"

namespace testsupport {

bool LoadTestArchiveLibrary()
{
    return LoadArchiveLibrary(DataFile(L"7z.dll").c_str());
}

}  // namespace testsupport
