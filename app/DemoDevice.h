// The demonstration device: a simulated VRG-500 holding sample registers, on a pseudo-terminal of
// its own, listed in the port pop-up as "VRG-500 Simulator" beside the machine's real ports.
#pragma once

#include "AppController.h"

#include <memory>
#include <string>

namespace tavrel::sim {
class Vrg500Simulator;
} // namespace tavrel::sim

namespace tavrel::app {

class DemoDevice {
  public:
    static constexpr const char* PortName = "VRG-500 Simulator";

    DemoDevice();
    ~DemoDevice();
    DemoDevice(const DemoDevice&) = delete;
    DemoDevice& operator=(const DemoDevice&) = delete;

    // Starts the simulator; false with a reason when no pseudo-terminal could be made.
    bool start(std::string* error = nullptr);
    std::string devicePath() const;
    sim::Vrg500Simulator& simulator() { return *_simulator; }

    // Lists `machinePorts`' ports (the real ones by default) with the simulator added.
    AppController::PortLister portLister(AppController::PortLister machinePorts = {}) const;

  private:
    std::unique_ptr<sim::Vrg500Simulator> _simulator;
};

} // namespace tavrel::app
