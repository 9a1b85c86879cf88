// The control panel's windows come here.
