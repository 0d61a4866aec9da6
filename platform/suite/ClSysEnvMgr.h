// The system environment: the kinds of application that connect to the suite.
#pragma once

class ClSysEnvMgr {
public:
    // Edition codes of the linking applications.
    enum _AppType {
        APPTYPE_STANDARD = 0,  // standard edition
        APPTYPE_NETWORK = 3,   // network edition
        APPTYPE_LISBEY = 4,
        APPTYPE_QUORRA = 5,
    };
    // True for the codes above.
    static bool IsKnownAppType(int type) { return type == 0 || type == 3 || type == 4 || type == 5; }
};
