#pragma once

// Registers the driver component with AutomationRegistry under the ProgID
// "AddIn.Velmar". Called once at start-up, before the first setControl.
void registerDriverComponent();
