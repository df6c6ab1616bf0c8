/* The PortHub contract: the C interface of the device-access library that the program binds by name at run
 * time. Both libraries of ours (porthub/hid: real keyboards through hidapi; porthub/sim: a simulated
 * keyboard) export exactly these functions, and the program binds all twelve.
 *
 * Threads: the library calls the status callback on threads of its own, never on the caller's thread, because
 * the caller blocks while it waits for a CTRL reply. Memory: every pointer passed in stays the caller's and
 * is read only during the call; every record passed to the callback stays the library's and is valid only
 * during the callback. On 64-bit platforms the event and request records keep the field order of the 32-bit
 * layout with native pointer sizes. */
#ifndef VORNAK_DEVICE_PORT_HUB_H
#define VORNAK_DEVICE_PORT_HUB_H

#include <stdint.h>

#if defined(_WIN32)
#if defined(PORTHUB_BUILDING_LIBRARY)
#define PORTHUB_API __declspec(dllexport)
#else
#define PORTHUB_API __declspec(dllimport)
#endif
#else
#define PORTHUB_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* The keyboard: its USB vendor and product id. */
enum { PORTHUB_KX1_VENDOR_ID = 0x0C45, PORTHUB_KX1_PRODUCT_ID = 0x5004 };

/* Its three collections, each a usage page and a usage: LED takes the status (layer) report, CONS carries the
 * keyboard's events, CTRL the command reports and their replies. */
enum {
    PORTHUB_LED_USAGE_PAGE = 0x0008,
    PORTHUB_LED_USAGE = 0x0089,
    PORTHUB_CONS_USAGE_PAGE = 0x000C,
    PORTHUB_CONS_USAGE = 0x0001,
    PORTHUB_CTRL_USAGE_PAGE = 0xFF1C,
    PORTHUB_CTRL_USAGE = 0x0092
};

/* Event codes: the first two bytes of a report on CONS, little-endian. */
enum {
    PORTHUB_EVENT_LAYER_SWITCH = 0x02FF,     /* the G keys' layer switch was pressed */
    PORTHUB_EVENT_SETTINGS_CHANGED = 0x0401, /* the lighting was changed on the keyboard itself */
    PORTHUB_EVENT_MACRO_ENDED = 0x1810,
    PORTHUB_EVENT_MACRO_STARTED = 0x1811
};

/* Bits of PortHubDeviceFilter.matchMask: the fields that are compared; a field whose bit is clear matches
 * anything. */
enum {
    PORTHUB_MATCH_VENDOR = 0x1,
    PORTHUB_MATCH_PRODUCT = 0x2,
    PORTHUB_MATCH_USAGE_PAGE = 0x4,
    PORTHUB_MATCH_USAGE = 0x8,
    PORTHUB_MATCH_ALL = 0xF
};

/* Names a collection of the keyboard: vendor, product, usage page and usage (16 bytes, little-endian). */
typedef struct PortHubDeviceFilter {
    uint32_t matchMask; /* PORTHUB_MATCH_*; the program always sends PORTHUB_MATCH_ALL */
    uint16_t vendorId;
    uint16_t productId;
    uint16_t usagePage;
    uint16_t usage;
    uint32_t reserved;
} PortHubDeviceFilter;

/* 1 when a collection (vendor, product, usage page, usage) answers to the filter, 0 otherwise. Every library
 * decides with this one routine which collections a request reaches. */
static inline int PortHubFilterMatches(const PortHubDeviceFilter* filter, uint16_t vendorId,
                                       uint16_t productId, uint16_t usagePage, uint16_t usage) {
    const uint32_t m = filter->matchMask;
    if ((m & PORTHUB_MATCH_VENDOR) && filter->vendorId != vendorId) return 0;
    if ((m & PORTHUB_MATCH_PRODUCT) && filter->productId != productId) return 0;
    if ((m & PORTHUB_MATCH_USAGE_PAGE) && filter->usagePage != usagePage) return 0;
    if ((m & PORTHUB_MATCH_USAGE) && filter->usage != usage) return 0;
    return 1;
}

/* A report that arrived on a collection (CONS events). */
typedef struct PortHubReport {
    uint32_t reserved[7];
    const uint8_t* bytes; /* the report, starting with its first data byte */
} PortHubReport;

typedef struct PortHubRequest {
    uint32_t tag;        /* the tag of the request that produced the event */
    uint32_t length;     /* type 1: data length; type 0: the new number of matching devices */
    const uint8_t* data; /* type 1 on CTRL: the reply report */
    void* reserved;
    const PortHubReport* report; /* type 1 on CONS: the event report */
} PortHubRequest;

enum { PORTHUB_EVENT_DEVICE_CHANGE = 0, PORTHUB_EVENT_DATA = 1 };

typedef struct PortHubStatusEvent {
    uint32_t type; /* PORTHUB_EVENT_DATA or PORTHUB_EVENT_DEVICE_CHANGE */
    uint32_t reserved;
    const PortHubRequest* request;
} PortHubStatusEvent;

/* The status callback; returns 1. */
typedef int (*PortHubCallback)(const PortHubStatusEvent* event);

/* > 0: ready. Called once after binding, with 0. */
PORTHUB_API int Init(int flags);
/* Number of attached keyboards matching the filter; 0 = none. callback, tag and out are unused (null, 0,
 * null). */
PORTHUB_API int RequestGetDeviceCount(const PortHubDeviceFilter* filter, PortHubCallback callback,
                                      uint32_t tag, uint32_t requestId, int* out);
/* Cancels the standing request registered under id; 0 cancels nothing. Returns 1. */
PORTHUB_API int DeleteRequestFromUnitId(int id);
/* Writes a status report of length bytes (the LED report: 2 bytes) and stores the request's id in outId. */
PORTHUB_API int RequestStatusWrite(const PortHubDeviceFilter* filter, PortHubCallback callback, uint32_t tag,
                                   const uint8_t* data, int length, uint32_t requestId, int* outId);
/* Registers a standing reader: every report on the collection, and every attach or removal of the device,
 * goes to the callback with this tag. Stores the request's id in outId. */
PORTHUB_API int RequestAsyncRead(const PortHubDeviceFilter* filter, PortHubCallback callback, uint32_t tag,
                                 uint32_t requestId, int* outId);
/* > 0: the report of length bytes (64) was written; its reply arrives through the CTRL reader. */
PORTHUB_API int RequestWriteOne(const PortHubDeviceFilter* filter, PortHubCallback callback, uint32_t tag,
                                const uint8_t* data, int length, uint32_t requestId, int* out);

/* Bound, never called by the program. */
PORTHUB_API int Debug(int level);
PORTHUB_API int End(void);
PORTHUB_API int DeleteRequestFromHandle(void* handle);
PORTHUB_API int RequestWrite(const PortHubDeviceFilter* filter, PortHubCallback callback, uint32_t tag,
                             const uint8_t* data, int length, uint32_t requestId, int* out);
PORTHUB_API int RequestStatusGet(const PortHubDeviceFilter* filter, PortHubCallback callback, uint32_t tag,
                                 uint8_t* data, int length, uint32_t requestId, int* out);
PORTHUB_API int RequestStatusSetFeature(const PortHubDeviceFilter* filter, PortHubCallback callback,
                                        uint32_t tag, const uint8_t* data, int length, uint32_t requestId,
                                        int* out);

/* Optional, looked up apart from the twelve: the file that every process of ours locks (flock) around a write
 * sequence on the keyboard that answers to filter, so that two programs' sequences never interleave. Copies
 * the path with its terminating zero into out and returns its length; 0 when there is no such file (no
 * keyboard, or a keyboard no other process can reach) or capacity is too small. A library without it gets no
 * such lock. */
PORTHUB_API int PortHubKeyboardLockPath(const PortHubDeviceFilter* filter, char* out, int capacity);
typedef int (*PortHubKeyboardLockPathFn)(const PortHubDeviceFilter* filter, char* out, int capacity);

/* The twelve exports as one table of function pointers: what a binding resolves by name, and what a library
 * linked into the same program (the simulator in tests) hands over directly. */
typedef struct PortHubFunctions {
    int (*Init)(int flags);
    int (*RequestGetDeviceCount)(const PortHubDeviceFilter*, PortHubCallback, uint32_t, uint32_t, int*);
    int (*DeleteRequestFromUnitId)(int id);
    int (*RequestStatusWrite)(const PortHubDeviceFilter*, PortHubCallback, uint32_t, const uint8_t*, int,
                              uint32_t, int*);
    int (*RequestAsyncRead)(const PortHubDeviceFilter*, PortHubCallback, uint32_t, uint32_t, int*);
    int (*RequestWriteOne)(const PortHubDeviceFilter*, PortHubCallback, uint32_t, const uint8_t*, int,
                           uint32_t, int*);
    int (*Debug)(int level);
    int (*End)(void);
    int (*DeleteRequestFromHandle)(void* handle);
    int (*RequestWrite)(const PortHubDeviceFilter*, PortHubCallback, uint32_t, const uint8_t*, int, uint32_t,
                        int*);
    int (*RequestStatusGet)(const PortHubDeviceFilter*, PortHubCallback, uint32_t, uint8_t*, int, uint32_t,
                            int*);
    int (*RequestStatusSetFeature)(const PortHubDeviceFilter*, PortHubCallback, uint32_t, const uint8_t*, int,
                                   uint32_t, int*);
} PortHubFunctions;

#ifdef __cplusplus
}
#endif

#endif /* VORNAK_DEVICE_PORT_HUB_H */
