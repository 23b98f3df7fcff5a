#pragma once
// The drawn option panel as assistive tools see it: one radio button per
// option, named by its label, with its column's title as description, that
// a tool can press.

// Registers the panel's accessibility factory once; harmless to call again.
void InstallOptionPanelAccessibility();
