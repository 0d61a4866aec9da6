// The option link: the suite's options that readers and rule objects attach.
// The stand-in keeps no options of its own; the object identifies the link.
#pragma once

class ClOptLink {
public:
    ClOptLink();
    virtual ~ClOptLink();
};
