// COM for the calling thread, apartment-threaded, for the holder's lifetime.
// Never throws: a failed initialisation shows in the next COM call.
#pragma once

#include "foundation/CallResult.h"

class ComInit : public ComCallResult {
public:
    ComInit();
    ~ComInit() override;
    ComInit(const ComInit&) = delete;
    ComInit& operator=(const ComInit&) = delete;
};
