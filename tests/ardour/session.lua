-- Builds an Ardour session for one render: a stereo track through one plug-in with the given
-- settings, playing a stereo WAV from the start, the session range exactly the file's length.
-- Run by render.sh through ardour7-lua (Ardour's Dummy backend: no display, no sound card):
--   ardour7-lua session.lua DIR NAME RATE TYPE ID WAV FRAMES [LABEL=VALUE]...
-- TYPE is LV2 or VST3, ID the plug-in's URI or VST3 class id; LABEL is a control's name as the
-- plug-in gives it, VALUE in the control's own units as Ardour's Lua sets them. With
-- LUMO_ARDOUR_SAVE_AT_ONCE=1 the session is saved right after the settings, before the engine
-- has run the plug-in with them.
--
-- Ardour 7.3's Lua cannot import audio, so the file goes in as Ardour's own recording would: the
-- WAV copied into the session's audio folder, and two Sources (one per channel), a whole-file
-- Region, a Region on the track's playlist and the session range written into the saved XML
-- (ardour7-export then loads it; a session loaded again in this process hangs when closed).

local SUPERCLOCK_PER_SECOND = 282240000

local function fail(message)
  io.stderr:write("session.lua: " .. message .. "\n")
  os.exit(1)
end

local dir, name, rate, plugin_type, plugin_id, wav, frames = table.unpack(arg, 1, 7)
rate, frames = tonumber(rate), tonumber(frames)
if not (frames and rate and wav) then fail("usage: session.lua DIR NAME RATE TYPE ID WAV FRAMES [LABEL=VALUE]...") end

-- Ardour's time for a sample count: superclock ticks, rounded as Ardour rounds them.
local function ticks(samples)
  return (samples * SUPERCLOCK_PER_SECOND + rate // 2) // rate
end

local function read_file(path)
  local file = io.open(path, "rb") or fail("cannot read " .. path)
  local text = file:read("a")
  file:close()
  return text
end

local function write_file(path, text)
  local file = io.open(path, "wb") or fail("cannot write " .. path)
  file:write(text)
  file:close()
end

-- The plug-in's input controls, in Ardour's order, by label: { index = n, lower, upper }.
local function input_controls(plugin)
  local controls = {}
  local n = 0
  for j = 0, plugin:parameter_count() - 1 do
    if plugin:parameter_is_input(j) and plugin:parameter_is_control(j) then
      local _, t = plugin:get_parameter_descriptor(j, ARDOUR.ParameterDescriptor())
      controls[t[2].label] = { index = n, lower = t[2].lower, upper = t[2].upper }
      n = n + 1
    end
  end
  return controls
end

local function apply_settings(processor, settings)
  local controls = input_controls(processor:to_insert():plugin(0))
  for _, setting in ipairs(settings) do
    local label, value = setting:match("^(.-)=([^=]+)$")
    local control = label and controls[label]
    if not control then fail("the plug-in has no control " .. setting) end
    value = tonumber(value) or fail("not a number: " .. setting)
    if value < control.lower or value > control.upper then
      fail(string.format("%s is outside %g to %g", setting, control.lower, control.upper))
    end
    ARDOUR.LuaAPI.set_processor_param(processor, control.index, value)
  end
end

local function create(settings)
  local session = create_session(dir, name, rate) or fail("cannot create a session in " .. dir)
  local tracks = session:new_audio_track(2, 2, nil, 1, "EQ", ARDOUR.PresentationInfo.max_order,
                                         ARDOUR.TrackMode.Normal, true, false)
  if tracks:size() ~= 1 then fail("cannot add a stereo track") end
  local kind = ARDOUR.PluginType[plugin_type] or fail("unknown plug-in type " .. plugin_type)
  local processor = ARDOUR.LuaAPI.new_plugin(session, plugin_id, kind, "")
  if processor:isnil() then fail("Ardour finds no " .. plugin_type .. " plug-in " .. plugin_id) end
  tracks:front():add_processor_by_index(processor, 0, nil, true)
  apply_settings(processor, settings)
  -- The engine runs a moment, unless the test saves settings no audio has carried yet.
  if os.getenv("LUMO_ARDOUR_SAVE_AT_ONCE") ~= "1" then ARDOUR.LuaAPI.usleep(500000) end
  session:save_state("", false, false, false, false, false)
  close_session()
end

-- Replaces the one match of pattern in text, or fails naming what was missing.
local function replace_once(text, pattern, replacement, what)
  local result, count = text:gsub(pattern, function(...) return replacement(...) end)
  if count ~= 1 then fail("the saved session has " .. count .. " " .. what) end
  return result
end

local function region_xml(region_name, id, whole_file, source_ids, length)
  return string.format('<Region name="%s" muted="0" opaque="1" locked="0" video-locked="0" automatic="%d" ' ..
    'whole-file="%d" import="1" external="0" sync-marked="0" left-of-split="0" right-of-split="0" hidden="0" ' ..
    'position-locked="0" valid-transients="0" start="a0" length="a%d@a0" sync-position="a0" ancestral-start="a0" ' ..
    'ancestral-length="a0@a0" stretch="1" shift="1" layering-index="0" tags="" contents="0" envelope-active="0" ' ..
    'default-fade-in="0" default-fade-out="0" fade-in-active="0" fade-out-active="0" scale-amplitude="1" ' ..
    'id="%d" type="audio" first-edit="nothing" source-0="%d" source-1="%d" master-source-0="%d" ' ..
    'master-source-1="%d" channels="2"/>', region_name, whole_file, whole_file, length, id,
    source_ids[1], source_ids[2], source_ids[1], source_ids[2])
end

-- Writes the file's Sources, Regions and session range into the saved session, with ids above
-- every id Ardour has given out.
local function add_audio(file_name)
  local path = dir .. "/" .. name .. ".ardour"
  local xml = read_file(path)
  local counter = tonumber(xml:match('<Session [^>]-id%-counter="(%d+)"')) or fail("no id-counter in " .. path)
  local ids = { counter + 1, counter + 2, counter + 3, counter + 4, counter + 5 }
  local length = ticks(frames)
  local sources = ""
  for channel = 0, 1 do
    sources = sources .. string.format('<Source name="%s" type="audio" flags="" id="%d" captured-for="" ' ..
      'channel="%d" origin="" gain="1"/>', file_name, ids[channel + 1], channel)
  end
  xml = replace_once(xml, '(<Session [^>]-id%-counter=")%d+"', function(head) return head .. (counter + 6) .. '"' end, "id counters")
  xml = replace_once(xml, "<Sources/>", function() return "<Sources>" .. sources .. "</Sources>" end, "empty source lists")
  xml = replace_once(xml, "<Regions/>", function()
    return "<Regions>" .. region_xml("in", ids[3], 1, ids, length) .. "</Regions>" end, "empty region lists")
  xml = replace_once(xml, '(<Playlist [^>]-name="EQ"[^>]-)/>', function(head)
    return head .. ">" .. region_xml("in.1", ids[4], 0, ids, length) .. "</Playlist>" end, "empty playlists of the track")
  xml = replace_once(xml, "<Locations/>", function()
    return string.format('<Locations><Location id="%d" name="session" start="a0" end="a%d" flags="IsSessionRange" ' ..
      'locked="0" timestamp="0" cue="0"/></Locations>', ids[5], length) end, "empty location lists")
  write_file(path, xml)
end

local settings = { table.unpack(arg, 8) }
create(settings)
-- The session's own audio folder is named by its folder, not by its snapshot.
write_file(dir .. "/interchange/" .. dir:match("([^/]+)/*$") .. "/audiofiles/in.wav", read_file(wav))
add_audio("in.wav")
