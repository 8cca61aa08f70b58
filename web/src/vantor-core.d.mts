// The loader emscripten writes for web/core: the module is fetched beside it.
export default function loadCore(options?: object): Promise<EmscriptenModule>;
