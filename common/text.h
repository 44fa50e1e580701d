#ifndef QUORVANE_COMMON_TEXT_H
#define QUORVANE_COMMON_TEXT_H

// Bounded string building for the fixed path buffers. Each call returns nonzero
// when the whole result fits in cap bytes together with its terminating zero.
// A result that would not fit is refused, never cut: the destination is then
// left empty, so a half-built path can never be used by mistake.
int CopyText(char* dest, unsigned cap, const char* src);
int AppendText(char* dest, unsigned cap, const char* src);
int JoinText(char* dest, unsigned cap, const char* first, const char* second);

#endif
