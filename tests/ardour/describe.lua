-- What Ardour knows of some plug-ins: for each ID, the name and category its plug-in list gives,
-- and how it reads the audio ports (the group each belongs to and the channel within it).
--   ardour7-lua describe.lua DIR TYPE ID...
-- prints, per plug-in found:
--   plugin<TAB>ID<TAB>NAME<TAB>CATEGORY
--   port<TAB>in|out<TAB>INDEX<TAB>PORT NAME<TAB>GROUP<TAB>CHANNEL IN GROUP
-- (DIR: a scratch folder for the session Ardour needs before it lists plug-ins.)

local dir, plugin_type = arg[1], arg[2]
local kind = ARDOUR.PluginType[plugin_type or ""]
if not kind or #arg < 3 then
  io.stderr:write("usage: describe.lua DIR LV2|VST3 ID...\n")
  os.exit(2)
end
local session = create_session(dir, "describe", 48000)
if not session then
  io.stderr:write("describe.lua: cannot create a session in " .. dir .. "\n")
  os.exit(1)
end

local function describe_ports(id)
  local processor = ARDOUR.LuaAPI.new_plugin(session, id, kind, "")
  if processor:isnil() then return end
  local plugin = processor:to_insert():plugin(0)
  local audio = ARDOUR.DataType("audio")
  local counts = { ["in"] = plugin:get_info().n_inputs:n_audio(), out = plugin:get_info().n_outputs:n_audio() }
  for _, direction in ipairs({ "in", "out" }) do
    for i = 0, counts[direction] - 1 do
      local port = plugin:describe_io_port(audio, direction == "in", i)
      print(string.format("port\t%s\t%d\t%s\t%s\t%d", direction, i, port.name, port.group_name, port.group_channel))
    end
  end
end

local wanted = {}
for i = 3, #arg do wanted[arg[i]] = true end
for info in ARDOUR.LuaAPI.list_plugins():iter() do
  if info.type == kind and wanted[info.unique_id] then
    wanted[info.unique_id] = nil
    print(string.format("plugin\t%s\t%s\t%s", info.unique_id, info.name, info.category))
    describe_ports(info.unique_id)
  end
end
close_session()
