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

/* Names a collection of the keyboard: vendor, product, usage page and usage (16 bytes, little-endian). */
typedef struct PortHubDeviceFilter {
    uint32_t matchMask; /* 0x0000000F: vendor, product, usage page and usage are all compared */
    uint16_t vendorId;
    uint16_t productId;
    uint16_t usagePage;
    uint16_t usage;
    uint32_t reserved;
} PortHubDeviceFilter;

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
