#include "CaptureEngine.h"
#include "SimulatedCamera.h"
#include "V4L2Source.h"

namespace endomira {

std::unique_ptr<TVideoEngine> CreateVideoEngine(QObject* host) {
    std::vector<TCaptureEngine::TDevice> devices;
    for (auto& device : EnumerateV4L2Devices()) {
        const QString name = device.Name.isEmpty() ? device.Path : device.Name;
        devices.push_back({name, [device] { return std::make_unique<TV4L2Source>(device); }});
    }
    // The simulated devices come after the cameras of the system, so that an installation with
    // cameras keeps its channel numbers.
    devices.push_back({QStringLiteral("Simulação: câmera principal"),
                       [] { return std::make_unique<TSimulatedMainCamera>(); }});
    devices.push_back({QStringLiteral("Simulação: câmera auxiliar"),
                       [] { return std::make_unique<TSimulatedAuxCamera>(); }});
    return std::make_unique<TCaptureEngine>(host, std::move(devices));
}

} // namespace endomira
