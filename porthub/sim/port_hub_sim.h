/* Exports of libPortHubSim beyond the PortHub contract, for tests and tools that drive the simulated keyboard
 * through the library. */
#ifndef VORNAK_PORTHUB_SIM_H
#define VORNAK_PORTHUB_SIM_H

#include "device/port_hub.h"

#ifdef __cplusplus
extern "C" {
#endif

enum {
    PORTHUB_SIM_ATTACH = 0,
    PORTHUB_SIM_DETACH = 1,
    PORTHUB_SIM_LAYER_SWITCH = 2,
    PORTHUB_SIM_SETTINGS_CHANGED = 3,
    PORTHUB_SIM_MACRO_START = 4,
    PORTHUB_SIM_MACRO_STOP = 5
};

enum {
    PORTHUB_SIM_FAULT_NO_REPLY = 0,
    PORTHUB_SIM_FAULT_WRONG_COMMAND = 1,
    PORTHUB_SIM_FAULT_STATUS_FF = 2,
    PORTHUB_SIM_FAULT_STATUS_FE = 3,
    PORTHUB_SIM_FAULT_LATE_REPLY = 4,
    PORTHUB_SIM_FAULT_DETACH = 5,
    PORTHUB_SIM_FAULT_BUSY_AFTER_WORK = 6,
    PORTHUB_SIM_FAULT_FORGOTTEN = 7
};

/* Raises one of PORTHUB_SIM_*; returns 1, or 0 for an unknown event. */
PORTHUB_API int PortHubSimRaiseEvent(int event);
/* Injects a fault on count reports after skip untouched ones, of one command code (0: any); delayMs for a
 * late reply. Returns 1, or 0 for an unknown kind. */
PORTHUB_API int PortHubSimInjectFault(int kind, int count, int skip, int command, int delayMs);
/* Protocol violations counted since the library started. */
PORTHUB_API int PortHubSimViolationCount(void);
/* Waits until every queued reply and event reached the callbacks; returns 1. */
PORTHUB_API int PortHubSimFlush(void);

#ifdef __cplusplus
}
#endif

#endif /* VORNAK_PORTHUB_SIM_H */
