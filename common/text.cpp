#include "text.h"

#include <string.h>

int CopyText(char* dest, unsigned cap, const char* src)
{
    if (cap == 0)
        return 0;
    dest[0] = '\0';
    return AppendText(dest, cap, src);
}

int AppendText(char* dest, unsigned cap, const char* src)
{
    size_t used = strlen(dest);
    size_t add = strlen(src);
    if (used + add >= cap) {
        dest[0] = '\0';
        return 0;
    }
    memcpy(dest + used, src, add + 1);
    return 1;
}

int JoinText(char* dest, unsigned cap, const char* first, const char* second)
{
    return CopyText(dest, cap, first) && AppendText(dest, cap, second);
}
