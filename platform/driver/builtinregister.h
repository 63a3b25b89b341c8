#pragma once

// The register emulated inside the driver component, selected by writing its
// location to the component's PortName. The port list offers it under this
// name and description (UTF-8).
namespace BuiltInRegister {

constexpr char Location[] = "emulator:builtin";
constexpr char PortName[] = "EMU1";
constexpr char Description[] = "Встроенный эмулятор ККТ Korvan";

} // namespace BuiltInRegister
