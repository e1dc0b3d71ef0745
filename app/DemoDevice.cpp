#include "DemoDevice.h"

#include "SerialPortDiscovery.h"
#include "Vrg500Simulator.h"

namespace tavrel::app {

using records::SerialPortList;
using sim::Vrg500Simulator;
using sim::Vrg500SimulatorOptions;

namespace {

Vrg500SimulatorOptions demoOptions() {
    Vrg500SimulatorOptions options;
    options.sampleRegisters = true;
    return options;
}

} // namespace

DemoDevice::DemoDevice() : _simulator(std::make_unique<Vrg500Simulator>(demoOptions())) {}

DemoDevice::~DemoDevice() = default;

bool DemoDevice::start(std::string* error) {
    return _simulator->start(error);
}

std::string DemoDevice::devicePath() const {
    return _simulator->slavePath();
}

AppController::PortLister DemoDevice::portLister(AppController::PortLister machinePorts) const {
    if (!machinePorts) {
        machinePorts = [] { return link::availableSerialDevices(); };
    }
    // The simulator's path is read at each listing: it changes if the simulated line is
    // hung up and comes back.
    const Vrg500Simulator* simulator = _simulator.get();
    return [simulator, machinePorts]() -> std::optional<SerialPortList> {
        SerialPortList ports = machinePorts().value_or(SerialPortList{});
        ports[PortName] = {simulator->slavePath()};
        return ports;
    };
}

} // namespace tavrel::app
