#ifndef QUORVANE_RESOURCES_RESOURCE_H
#define QUORVANE_RESOURCES_RESOURCE_H

// Shared by both programs: the shell shows this icon for either file.
#define IDI_PROGRAM 128

#endif
