-- PLC table, tool module: inputs driven by the tool's own keys and program switch
module = {}
module.name = "tool"
module.active = true
module.in_tab = {}
module.in_tab[1] = plc.In.Prog0
module.in_tab[2] = plc.In.Prog1
module.in_tab[3] = plc.In.Prog2
module.in_tab[4] = plc.In.ManOp
module.in_tab[6] = plc.In.Prog3
module.in_tab[7] = plc.In.Prog4
module.in_tab[8] = plc.In.Prog5
module.in_tab[9] = plc.In.Prog6
module.in_tab[10] = plc.In.Prog7
module.out_tab = {}
module.out_tab[1] = plc.Out.Ready
module.out_tab[2] = plc.Out.OK
module.out_tab[3] = plc.Out.NOK
