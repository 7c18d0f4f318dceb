// OtherService: what the "more" page asks of the main index.
#pragma once

namespace oa {

class OtherService {
public:
    virtual ~OtherService() = default;
    // Opens the network environments screen.
    virtual void enterSetController() = 0;
    // Opens the list of trusted server certificates.
    virtual void enterTrustController() = 0;
    // Signs out: back to the sign-in screen.
    virtual void returnRootController() = 0;
};

}  // namespace oa
