// A DLL that is built with and without the mark of our plug-ins.

#ifdef OVEL_MARKED_PLUGIN
extern "C" __declspec(dllexport) void OvelPluginInit() {}
#else
extern "C" __declspec(dllexport) void SomeOtherExport() {}
#endif
