/* Glimmerdeck decoder plug-in SDK.
 *
 * A plug-in is an ELF shared object named "*.spi" that exports the functions
 * below with C linkage. The host loads it with dlopen and looks the functions
 * up by name. Strings are in the local 8-bit encoding of the file system.
 *
 * Memory handed to the host (the BITMAPINFO and pixel blocks of GetPicture,
 * the text block of GetPictureInfo) must come from LocalAlloc in this header:
 * the host checks the block sizes with LocalSize and releases the blocks with
 * LocalFree. Never free them yourself once returned successfully.
 */
#ifndef GLIMMERDECK_SPI_SDK_H
#define GLIMMERDECK_SPI_SDK_H

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#ifdef __cplusplus
#define SPI_EXTERN_C extern "C"
#else
#define SPI_EXTERN_C
#endif
#define SPI_EXPORT SPI_EXTERN_C __attribute__((visibility("default")))

typedef void *HLOCAL;

/* Result codes. Only SPI_ALL_RIGHT counts as success for the host. */
enum {
    SPI_NO_FUNCTION = -1,
    SPI_ALL_RIGHT = 0,
    SPI_ABORT = 1,
    SPI_NOT_SUPPORT = 2,
    SPI_OUT_OF_ORDER = 3,
    SPI_NO_MEMORY = 4,
    SPI_MEMORY_ERROR = 5,
    SPI_FILE_READ_ERROR = 6,
    SPI_WINDOW_ERROR = 7,
    SPI_OTHER_ERROR = 8,
    SPI_END_OF_FILE = 9
};

/* Flag values of GetPictureInfo / GetPicture / GetPreview: bit 0 selects the input. */
enum {
    SPI_INPUT_FILE = 0,  /* buf is a path, len the byte offset of the data in the file */
    SPI_INPUT_MEMORY = 1 /* buf is the data, len its byte count */
};

#pragma pack(push, 1)
typedef struct TPictureInfo {
    int32_t Left, Top;
    int32_t Width, Height;
    uint16_t XDensity, YDensity;
    int16_t ColorDepth;
    HLOCAL HInfo; /* text information block (LocalAlloc) or NULL */
} TPictureInfo;

typedef struct TFileInfo {
    char Method[8];
    uint32_t Position;
    uint32_t CompSize;
    uint32_t FileSize;
    uint32_t TimeStamp;
    char Path[200];
    char FileName[200];
    int32_t CRC;
} TFileInfo;
#pragma pack(pop)

#pragma pack(push, 2)
typedef struct SPI_BITMAPFILEHEADER {
    uint16_t bfType;
    uint32_t bfSize;
    uint16_t bfReserved1;
    uint16_t bfReserved2;
    uint32_t bfOffBits;
} SPI_BITMAPFILEHEADER;
#pragma pack(pop)

typedef struct SPI_BITMAPINFOHEADER {
    uint32_t biSize;
    int32_t biWidth;
    int32_t biHeight; /* positive: bottom-up rows, negative: top-down */
    uint16_t biPlanes;
    uint16_t biBitCount;
    uint32_t biCompression; /* 0 = uncompressed RGB */
    uint32_t biSizeImage;
    int32_t biXPelsPerMeter;
    int32_t biYPelsPerMeter;
    uint32_t biClrUsed;
    uint32_t biClrImportant;
} SPI_BITMAPINFOHEADER;

typedef struct SPI_RGBQUAD {
    uint8_t rgbBlue, rgbGreen, rgbRed, rgbReserved;
} SPI_RGBQUAD;

typedef struct SPI_BITMAPINFO {
    SPI_BITMAPINFOHEADER bmiHeader;
    SPI_RGBQUAD bmiColors[1];
} SPI_BITMAPINFO;

#define SPI_BI_RGB 0u
/* Bytes of one pixel row of a DIB: rows are padded to 32 bits. */
#define SPI_DIB_STRIDE(width, bits) ((((uint64_t)(width) * (uint64_t)(bits) + 31u) / 32u) * 4u)

/* Progress: the plug-in reports num out of denom; a non-zero answer asks it to
 * stop, and it must then return SPI_ABORT. */
typedef int (*SPI_PROGRESS)(int num, int denom, intptr_t data);

/* Exported functions. 16-bit flags of the original interface are passed as
 * full unsigned ints. */
typedef int (*TGetPluginInfo)(int infono, char *buf, int buflen);
typedef int (*TIsSupported)(const char *filename, uintptr_t dw); /* dw: address of >= 2048 header bytes */
typedef int (*TGetPictureInfo)(const char *buf, intptr_t len, unsigned int flag, TPictureInfo *info);
typedef int (*TGetPicture)(const char *buf, intptr_t len, unsigned int flag, HLOCAL *hbminfo, HLOCAL *hbm,
                           SPI_PROGRESS progress, intptr_t data);
typedef int (*TGetPreview)(const char *buf, intptr_t len, unsigned int flag, HLOCAL *hbminfo, HLOCAL *hbm,
                           SPI_PROGRESS progress, intptr_t data);
typedef int (*TGetArchiveInfo)(const char *buf, intptr_t len, unsigned int flag, HLOCAL *hinfo);
typedef int (*TGetFileInfo)(const char *buf, intptr_t len, const char *filename, unsigned int flag,
                            TFileInfo *info);
typedef int (*TGetFile)(const char *src, intptr_t len, char *dest, unsigned int flag, SPI_PROGRESS progress,
                        intptr_t data);
typedef int (*TConfigurationDlg)(void *parent, int fnc);

/* Local memory blocks: a heap block with a small header that records its size
 * and a tag, so the host can check what it is given and catch double frees. */
#define LMEM_FIXED 0x0000u
#define LMEM_MOVEABLE 0x0002u
#define LMEM_ZEROINIT 0x0040u
#define LHND (LMEM_MOVEABLE | LMEM_ZEROINIT)
#define LPTR (LMEM_FIXED | LMEM_ZEROINIT)

typedef struct SPI_LocalHeader {
    uint64_t size;
    uint64_t tag;
} SPI_LocalHeader;
#define SPI_LOCAL_TAG 0x4C4F43414C424C4BULL /* "LOCALBLK" */

static inline SPI_LocalHeader *SPI_LocalHead(HLOCAL h)
{
    return h ? (SPI_LocalHeader *)((char *)h - sizeof(SPI_LocalHeader)) : NULL;
}

static inline HLOCAL LocalAlloc(unsigned int flags, size_t bytes)
{
    if (bytes > (size_t)-1 - sizeof(SPI_LocalHeader))
        return NULL;
    SPI_LocalHeader *head =
        (SPI_LocalHeader *)((flags & LMEM_ZEROINIT) ? calloc(1, sizeof(SPI_LocalHeader) + bytes)
                                                    : malloc(sizeof(SPI_LocalHeader) + bytes));
    if (!head)
        return NULL;
    head->size = bytes;
    head->tag = SPI_LOCAL_TAG;
    return (HLOCAL)(head + 1);
}

/* Size of a block from LocalAlloc; 0 for NULL or anything that is not a live block. */
static inline size_t LocalSize(HLOCAL h)
{
    SPI_LocalHeader *head = SPI_LocalHead(h);
    return (head && head->tag == SPI_LOCAL_TAG) ? (size_t)head->size : 0;
}

static inline void *LocalLock(HLOCAL h)
{
    SPI_LocalHeader *head = SPI_LocalHead(h);
    return (head && head->tag == SPI_LOCAL_TAG) ? h : NULL;
}
static inline int LocalUnlock(HLOCAL h)
{
    (void)h;
    return 0;
}

/* Returns NULL on success, the handle when it was not a live block. */
static inline HLOCAL LocalFree(HLOCAL h)
{
    SPI_LocalHeader *head = SPI_LocalHead(h);
    if (!head)
        return NULL;
    if (head->tag != SPI_LOCAL_TAG)
        return h;
    head->tag = 0;
    free(head);
    return NULL;
}

#endif
