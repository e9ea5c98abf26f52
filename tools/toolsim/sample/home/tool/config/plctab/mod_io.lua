-- PLC table, I/O module on the docking station
module = {}
module.name = "io"
module.active = false
module.in_tab = {}
module.in_tab[1] = plc.In.Start
module.in_tab[2] = plc.In.Reset
module.out_tab = {}
module.out_tab[1] = plc.Out.Ready
